#pragma once

#include <QDialog>
#include <memory>

class ImageButton;
class QLabel;
class QLineEdit;
class QTableView;
class RecordGridModel;
class WindowPanel;

// The summary of the cards registered between two dates, in a grid that can be exported.
class TfrmRiepProtocollo : public QDialog {
    Q_OBJECT
public:
    TfrmRiepProtocollo(QWidget* opener, const QString& registerPath);
    ~TfrmRiepProtocollo() override;

    QLineEdit* txtDataInizio;
    QLineEdit* txtDataFine;
    ImageButton* cmdTrova;
    ImageButton* cmdEsporta;
    ImageButton* cmdGuida;
    ImageButton* cmdEsci;
    QTableView* grdRecords;
    QLabel* panInfo;
    RecordGridModel* grid() const { return m_grid; }

public slots:
    void showSummary();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool checkDates(QDate& start, QDate& end);

    QString m_registerPath;
    RecordGridModel* m_grid;
    std::unique_ptr<WindowPanel> m_content;
};
