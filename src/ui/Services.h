#pragma once

#include <QDateTime>
#include <QString>

class QWidget;
namespace Report {
struct Prepared;
}

// The seams between the windows and the desktop. The real program binds them to Qt;
// the tests put recorders in their place (tests/support/TestServices.h).

enum class MessageKind { Notice, Warning, Information, Error, Question };

class MessageService {
public:
    virtual ~MessageService() = default;
    // Shows a modal message and waits; true for OK or Yes.
    virtual bool show(QWidget* parent, MessageKind kind, const QString& text) = 0;
};

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // The chosen file's full path, or empty when the user cancelled.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& filter) = 0;
    // The chosen folder's full path, starting at `start`, or empty when cancelled.
    virtual QString folderName(QWidget* parent, const QString& title, const QString& start) = 0;
};

class ShellService {
public:
    virtual ~ShellService() = default;
    // Hands a target (quoted file path, bare web address, quoted mailto) to the desktop.
    virtual void open(const QString& target) = 0;
};

class ClockService {
public:
    virtual ~ClockService() = default;
    virtual QDateTime now() const = 0;
};

class FolderService {
public:
    virtual ~FolderService() = default;
    // The program folder, with its trailing separator.
    virtual QString programFolder() const = 0;
};

class PrinterService {
public:
    virtual ~PrinterService() = default;
    // Asks for the printer (the system's print dialog, where printing to a PDF file is one
    // of the choices) and prints the prepared pages; false when cancelled or failed.
    virtual bool print(QWidget* parent, const Report::Prepared& report) = 0;
};

namespace Services {

MessageService& messages();
FileDialogService& fileDialogs();
ShellService& shell();
ClockService& clock();
FolderService& folder();
PrinterService& printer();

// Replace a service (nullptr puts the real one back). The caller keeps ownership.
void setMessages(MessageService* service);
void setFileDialogs(FileDialogService* service);
void setShell(ShellService* service);
void setClock(ClockService* service);
void setFolder(FolderService* service);
void setPrinter(PrinterService* service);

// Makes `folder` (a trailing separator is added when missing) the program folder while it
// lives, and puts the real one back after: tools and benchmarks that work in a folder of
// their own.
class FolderScope final : public FolderService {
public:
    explicit FolderScope(const QString& folder);
    ~FolderScope() override;
    FolderScope(const FolderScope&) = delete;
    FolderScope& operator=(const FolderScope&) = delete;
    QString programFolder() const override { return m_folder; }

private:
    QString m_folder;
};

} // namespace Services
