#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QThread>

#include "platform/ui/QtText.h"

namespace platform {

namespace {

ModalHook& Modal() {
    static ModalHook hook;
    return hook;
}

OpenFileHook& OpenFile() {
    static OpenFileHook hook;
    return hook;
}

SaveFileHook& SaveFile() {
    static SaveFileHook hook;
    return hook;
}

FolderHook& Folder() {
    static FolderHook hook;
    return hook;
}

// The folder itself, or its nearest ancestor that exists: a dialog told to start in a missing
// folder would offer that folder's name as the file to open.
QString ExistingFolder(const QString& path) {
    QFileInfo info(path);
    while (!info.isDir()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath()) {
            break;
        }
        info = QFileInfo(parent);
    }
    return info.absoluteFilePath();
}

}  // namespace

void SetModalHook(ModalHook hook) {
    Modal() = std::move(hook);
}

QAbstractButton* RunModal(QMessageBox& box) {
    if (Modal()) {
        return Modal()(box);
    }
    box.exec();
    return box.clickedButton();
}

void ShowMessage(const Message& message) {
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [message] { ShowMessage(message); },
            Qt::BlockingQueuedConnection);
        return;
    }
    QMessageBox box(QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setText(FromMessage(message));
    box.setStandardButtons(QMessageBox::Ok);
    RunModal(box);
}

void SetOpenFileHook(OpenFileHook hook) {
    OpenFile() = std::move(hook);
}

QString ChooseFile(const OpenFileRequest& request) {
    if (OpenFile()) {
        return OpenFile()(request);
    }
    return QFileDialog::getOpenFileName(request.parent, request.title,
                                        ExistingFolder(request.folder), request.filter);
}

void SetSaveFileHook(SaveFileHook hook) {
    SaveFile() = std::move(hook);
}

QString ChooseSaveFile(const SaveFileRequest& request) {
    if (SaveFile()) {
        return SaveFile()(request);
    }
    const QString folder = ExistingFolder(QDir::homePath() + QStringLiteral("/Documents"));
    return QFileDialog::getSaveFileName(request.parent, QString(),
                                        folder + QLatin1Char('/') + request.defaultName);
}

void SetFolderHook(FolderHook hook) {
    Folder() = std::move(hook);
}

QString ChooseFolder(const FolderRequest& request) {
    if (Folder()) {
        return Folder()(request);
    }
    return QFileDialog::getExistingDirectory(request.parent, QString(),
                                             ExistingFolder(request.folder));
}

}  // namespace platform
