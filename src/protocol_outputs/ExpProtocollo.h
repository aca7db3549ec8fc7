#pragma once

#include <QDialog>
#include <memory>

class ImageButton;
class QLabel;
class QTableView;
class RecordGridModel;
class WindowPanel;

// The whole year's register in a grid, exported to the spreadsheet file.
class TfrmExpProtocollo : public QDialog {
    Q_OBJECT
public:
    TfrmExpProtocollo(QWidget* opener, const QString& registerPath);
    ~TfrmExpProtocollo() override;

    ImageButton* cmdEsporta;
    ImageButton* cmdGuida;
    ImageButton* cmdEsci;
    QTableView* grdRecords;
    QLabel* panInfo;
    RecordGridModel* grid() const { return m_grid; }

private:
    void loadGrid(const QString& registerPath);

    RecordGridModel* m_grid;
    std::unique_ptr<WindowPanel> m_content;
};
