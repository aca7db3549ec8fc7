#include "Services.h"

#include "Messages.h"
#include "OpenFileDialog.h"
#include "TMisc.h"
#include "core/platform/PrintDialog.h"
#include "report/Report.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

class QtMessages : public MessageService {
public:
    bool show(QWidget* parent, MessageKind kind, const QString& text) override {
        QMessageBox box(parent ? parent : QApplication::activeWindow());
        box.setText(text);
        switch (kind) {
        case MessageKind::Notice:
            box.setWindowTitle(QApplication::applicationDisplayName());
            box.setIcon(QMessageBox::NoIcon);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageKind::Warning:
            box.setWindowTitle(QStringLiteral("Attenzione"));
            box.setIcon(QMessageBox::Warning);
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MessageKind::Information:
            box.setWindowTitle(QStringLiteral("Informazione"));
            box.setIcon(QMessageBox::Information);
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MessageKind::Error:
            box.setWindowTitle(QStringLiteral("Errore"));
            box.setIcon(QMessageBox::Critical);
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MessageKind::Question:
            box.setWindowTitle(QStringLiteral("Conferma"));
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            return box.exec() == QMessageBox::Yes;
        }
        box.setDefaultButton(QMessageBox::Ok);
        return box.exec() == QMessageBox::Ok;
    }
};

class QtFileDialogs : public FileDialogService {
public:
    QString openFileName(QWidget* parent, const QString& title, const QString& filter) override {
        return OpenFileDialog::run(parent, title, filter);
    }
    QString folderName(QWidget* parent, const QString& title, const QString& start) override {
        return QFileDialog::getExistingDirectory(parent, title, start);
    }
};

class DesktopShell : public ShellService {
public:
    void open(const QString& target) override {
        const QUrl url = TMisc::urlFor(target);
        if (url.isValid())
            QDesktopServices::openUrl(url);
    }
};

class SystemClock : public ClockService {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class ExecutableFolder : public FolderService {
public:
    QString programFolder() const override {
        return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + QDir::separator();
    }
};

class DialogPrinter : public PrinterService {
public:
    bool print(QWidget* parent, const Report::Prepared& report) override {
        if (!PrintDialog::opensWithoutPrinter() &&
            QPrinterInfo::availablePrinterNames().isEmpty()) {
            Messages::warning(
                parent,
                QStringLiteral(
                    "Su questo computer non è installata alcuna stampante: la stampa non è "
                    "possibile.\n"
                    "Aggiungere una stampante (anche «Microsoft Print to PDF», che salva le pagine "
                    "in "
                    "un file PDF) dalle Impostazioni di Windows, in «Stampanti e scanner», e "
                    "riprovare."));
            return false;
        }
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(report.orientation == Report::Orientation::Landscape
                                       ? QPageLayout::Landscape
                                       : QPageLayout::Portrait);
        printer.setDocName(report.name);
        QPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, int(report.pages.size()));
        if (dialog.exec() != QDialog::Accepted)
            return false;
        if (printer.outputFormat() == QPrinter::PdfFormat) {
            // Printed to a file: the same PDF/A-1b that Report::writePdf makes.
            printer.setPdfVersion(Report::kPdfVersion);
            printer.setCreator(QStringLiteral("Faldora"));
        }
        return Report::paint(report, printer);
    }
};

template <typename Service, typename Real> struct Slot {
    Real real;
    Service* current = nullptr;
    Service& get() { return current ? *current : real; }
};

Slot<MessageService, QtMessages> g_messages;
Slot<FileDialogService, QtFileDialogs> g_fileDialogs;
Slot<ShellService, DesktopShell> g_shell;
Slot<ClockService, SystemClock> g_clock;
Slot<FolderService, ExecutableFolder> g_folder;
Slot<PrinterService, DialogPrinter> g_printer;

} // namespace

namespace Services {

MessageService& messages() {
    return g_messages.get();
}
FileDialogService& fileDialogs() {
    return g_fileDialogs.get();
}
ShellService& shell() {
    return g_shell.get();
}
ClockService& clock() {
    return g_clock.get();
}
FolderService& folder() {
    return g_folder.get();
}
PrinterService& printer() {
    return g_printer.get();
}

void setMessages(MessageService* service) {
    g_messages.current = service;
}
void setFileDialogs(FileDialogService* service) {
    g_fileDialogs.current = service;
}
void setShell(ShellService* service) {
    g_shell.current = service;
}
void setClock(ClockService* service) {
    g_clock.current = service;
}
void setFolder(FolderService* service) {
    g_folder.current = service;
}
void setPrinter(PrinterService* service) {
    g_printer.current = service;
}

FolderScope::FolderScope(const QString& folder)
    : m_folder(folder.endsWith(u'/') || folder.endsWith(u'\\') ? folder : folder + u'/') {
    setFolder(this);
}

FolderScope::~FolderScope() {
    setFolder(nullptr);
}

} // namespace Services
