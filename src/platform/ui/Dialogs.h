#pragma once

#include <QString>

#include <functional>
#include <string>

#include "platform/Hooks.h"

class QAbstractButton;
class QMessageBox;
class QWidget;

// The modal dialogs every window uses. Each goes through a replaceable function so that tests
// can answer it without a user; an empty function restores the real dialog.
namespace platform {

// Shows a set-up message box modally and returns the button used (null when none was).
using ModalHook = std::function<QAbstractButton*(QMessageBox& box)>;
void SetModalHook(ModalHook hook);
QAbstractButton* RunModal(QMessageBox& box);

// The core's messages: a modal box with the text and an OK button. Safe from any thread: a
// message from another thread is shown on the main thread, which the caller waits for.
void ShowMessage(const Message& message);

struct OpenFileRequest {
    QWidget* parent = nullptr;
    QString title;
    QString folder;  // where the dialog starts
    QString filter;  // in the "Name (*.ext)" form
};
// Returns the chosen file's path, or an empty text when the user cancelled.
using OpenFileHook = std::function<QString(const OpenFileRequest& request)>;
void SetOpenFileHook(OpenFileHook hook);
QString ChooseFile(const OpenFileRequest& request);

struct SaveFileRequest {
    QWidget* parent = nullptr;
    QString defaultName;
};
// Returns the path the user chose to save to, or an empty text when the user cancelled.
using SaveFileHook = std::function<QString(const SaveFileRequest& request)>;
void SetSaveFileHook(SaveFileHook hook);
QString ChooseSaveFile(const SaveFileRequest& request);

struct FolderRequest {
    QWidget* parent = nullptr;
    QString folder;  // where the chooser starts
};
// Returns the chosen folder's path, or an empty text when the user cancelled.
using FolderHook = std::function<QString(const FolderRequest& request)>;
void SetFolderHook(FolderHook hook);
QString ChooseFolder(const FolderRequest& request);

}  // namespace platform
