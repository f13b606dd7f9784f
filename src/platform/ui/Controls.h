#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTreeWidget>

#include <string>

namespace platform {

// A page panel: pages numbered from 0, one shown at a time. Controls on a page are children
// of that page, so they show only with it.
class PagePanel : public QStackedWidget {
    Q_OBJECT

public:
    PagePanel(QWidget* parent, int pageCount);

    int Value() const { return currentIndex(); }
    void SetValue(int page) { setCurrentIndex(page); }
    QWidget* Page(int page) const { return widget(page); }
};

// The hierarchical list: one column, no heading, single selection. Folder rows show an
// expander before they have any rows under them.
class HierarchicalList : public QTreeWidget {
    Q_OBJECT

public:
    explicit HierarchicalList(QWidget* parent);

    // A top-level folder row.
    QTreeWidgetItem* AddFolder(const QString& text);
    // A row under `parent`: a folder row (with an expander) or a plain row.
    QTreeWidgetItem* AddRow(QTreeWidgetItem* parent, const QString& text, bool folder);
    void RemoveChildren(QTreeWidgetItem* row);
    void DeleteAllRows() { clear(); }
};

// A pop-up menu: its selection changes only when the user picks a row, by clicking or by keys
// while it has the focus. The wheel passes over it to whatever lies beneath.
class PopupMenu : public QComboBox {
    Q_OBJECT

public:
    explicit PopupMenu(QWidget* parent);

protected:
    void wheelEvent(QWheelEvent* event) override;
};

// A text field that holds a file system path. The path is kept as the bytes it came as and
// shown decoded, so an unusual name survives being shown and read back.
class PathField : public QLineEdit {
    Q_OBJECT

public:
    explicit PathField(QWidget* parent);

    void SetPath(const std::string& path);
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace platform
