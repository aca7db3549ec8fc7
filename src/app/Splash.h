#pragma once

#include <QDialog>

class LinkLabel;
class QPushButton;

// The credits window.
class TfrmSplash : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* opener);

    LinkLabel* lnkWeb;
    QPushButton* btnChiudi;
};
