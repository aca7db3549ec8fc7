#pragma once

#include <QString>
#include <memory>

class QWidget;
class TfrmMenuProtocollo;
class TfrmProtocollo;

// The persistent windows of the run, created once at start-up in their fixed order, and
// the hand-overs between them. Modal windows are created by their openers at each use.
class WindowRegistry {
public:
    WindowRegistry();
    ~WindowRegistry();
    WindowRegistry(const WindowRegistry&) = delete;
    WindowRegistry& operator=(const WindowRegistry&) = delete;

    // The registry of the running program (null when none exists, as in window tests).
    static WindowRegistry* current();

    void createAll();
    // Shows the first window of the run.
    void start();

    TfrmMenuProtocollo* menuProtocollo() const { return m_menuProtocollo.get(); }
    TfrmProtocollo* protocollo() const { return m_protocollo.get(); }

    // Shows `to` (maximized when `maximized`), then hides `from`: one persistent window is
    // visible at a time.
    static void handOver(QWidget* from, QWidget* to, bool maximized);
    // The way back from a working window when it closes.
    void showMainMenu(QWidget* from);
    void showProtocolWindow(QWidget* from);

    // Prepares the protocol card window for a year's register: its file and caption.
    void openProtocolYear(const QString& year);

private:
    std::unique_ptr<TfrmMenuProtocollo> m_menuProtocollo;
    std::unique_ptr<TfrmProtocollo> m_protocollo;
};
