#pragma once

#include <QDialog>

// The information window: what the program is and how to write to its maker.
class TfrmInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInfo(QWidget* opener);

    // The mail the link hands to the desktop, quoted.
    static QString mailTarget();
};
