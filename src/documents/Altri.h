#pragma once

#include "ui/CardWindow.h"

class QCheckBox;

// The working window of the document card index: one card at a time. The card window does
// the card's flow from this window's field table; this window adds its layout and
// pictures, the to-complete mark, the duplication of a stored card and its toolbar.
class TfrmAltri final : public CardWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmAltri)
public:
    TfrmAltri();

public slots:
    // A new card from the stored card shown: its texts without the mark and attachments.
    void duplicate();

protected:
    RecordArchive archive() const override;
    void clearExtras() override;
    void loadExtras(const Record& record) override;
    void fillExtras(Record& record) const override;
    QString ownFieldCaption(int field) const override;

private:
    void buildToolbar();
    void buildCard();
    void buildAttachmentStrip();

    QCheckBox* m_toComplete = nullptr;
};
