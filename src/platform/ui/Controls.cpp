#include "platform/ui/Controls.h"

#include <QHeaderView>
#include <QWheelEvent>

#include "platform/ui/QtText.h"

namespace platform {

PagePanel::PagePanel(QWidget* parent, int pageCount) : QStackedWidget(parent) {
    for (int page = 0; page < pageCount; ++page) {
        auto* widget = new QWidget(this);
        widget->setObjectName(QStringLiteral("page%1").arg(page));
        addWidget(widget);
    }
    setCurrentIndex(0);
}

PopupMenu::PopupMenu(QWidget* parent) : QComboBox(parent) {}

void PopupMenu::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

HierarchicalList::HierarchicalList(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setDragEnabled(false);
    setRootIsDecorated(true);
}

QTreeWidgetItem* HierarchicalList::AddFolder(const QString& text) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    addTopLevelItem(item);
    return item;
}

QTreeWidgetItem* HierarchicalList::AddRow(QTreeWidgetItem* parent, const QString& text,
                                          bool folder) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    if (folder) {
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    parent->addChild(item);
    return item;
}

void HierarchicalList::RemoveChildren(QTreeWidgetItem* row) {
    const QList<QTreeWidgetItem*> children = row->takeChildren();
    qDeleteAll(children);
}

PathField::PathField(QWidget* parent) : QLineEdit(parent) {
    // Text set by other means than SetPath becomes the path as the file system encodes it.
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text != PathFromBytes(path_)) {
            path_ = PathToBytes(text);
        }
    });
}

void PathField::SetPath(const std::string& path) {
    path_ = path;
    setText(PathFromBytes(path));
}

}  // namespace platform
