#pragma once

#include <QDialog>

// The credits window.
class TfrmSplash : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* opener);
};
