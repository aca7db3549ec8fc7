#pragma once

#include <QString>
#include <memory>

class QWidget;
class TfrmAltri;
class TfrmAvvio;
class TfrmCambiaPassword;
class TfrmMenuProtocollo;
class TfrmPassword;
class TfrmProtocollo;

// The persistent windows of the run, created once at start-up in their fixed order, and
// the hand-overs between them: one of them is visible at a time. Modal windows are
// created by their openers at each use.
class WindowRegistry {
public:
    WindowRegistry();
    ~WindowRegistry();
    WindowRegistry(const WindowRegistry&) = delete;
    WindowRegistry& operator=(const WindowRegistry&) = delete;

    void createAll();
    // Shows the first window of the run, the login.
    void start();

    TfrmPassword* password() const { return m_password.get(); }
    TfrmAvvio* avvio() const { return m_avvio.get(); }
    TfrmCambiaPassword* cambiaPassword() const { return m_cambiaPassword.get(); }
    TfrmMenuProtocollo* menuProtocollo() const { return m_menuProtocollo.get(); }
    TfrmProtocollo* protocollo() const { return m_protocollo.get(); }
    TfrmAltri* altri() const { return m_altri.get(); }

    // Shows `to` (maximized when `maximized`), then hides `from`.
    static void handOver(QWidget* from, QWidget* to, bool maximized);
    void showLogin(QWidget* from);
    void showChangePassword(QWidget* from);
    void showMainMenu(QWidget* from);
    void showYearSelection(QWidget* from);
    void showProtocolWindow(QWidget* from);
    void showDocumentWindow(QWidget* from);

    // Prepares the protocol card window for a year's register: its file and caption.
    void openProtocolYear(const QString& year);
    // The archive check over the program folder; a card chosen in its report opens in its
    // card window.
    void runCheck(QWidget* from);
    // The card at `position` of `archive` (a register's or the card index's file name) in its
    // card window, which takes over from `from`.
    void openCard(QWidget* from, const QString& archive, int position);

    // Ends the run at once, without a question.
    void endRun();
    bool runEnded() const { return m_ended; }

private:
    void wireHandOvers();

    std::unique_ptr<TfrmPassword> m_password;
    std::unique_ptr<TfrmAvvio> m_avvio;
    std::unique_ptr<TfrmCambiaPassword> m_cambiaPassword;
    std::unique_ptr<TfrmMenuProtocollo> m_menuProtocollo;
    std::unique_ptr<TfrmProtocollo> m_protocollo;
    std::unique_ptr<TfrmAltri> m_altri;
    bool m_ended = false;
};
