#pragma once

#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;

// The annulment of a stored protocol card: asks for the reason and who authorised it, both
// required, and for a confirmation; hands them back to the card window, which records the
// annulment.
class TfrmAnnulla final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmAnnulla)
public:
    struct Answer {
        QString reason;
        QString authorisedBy;
    };

    // `number`: the protocol number of the card to annul, as stored.
    TfrmAnnulla(QWidget* opener, const QString& number);

    // Opens a fresh window over `opener`; the answer once confirmed, nothing when closed.
    static std::optional<Answer> askFor(QWidget* opener, const QString& number);

    static const QString kNoReason;
    static const QString kNoAuthorisation;
    // "%1": the card's number.
    static const QString kConfirm;

    const std::optional<Answer>& answer() const { return m_answer; }

private:
    void confirm();

    QString m_number;
    QLineEdit* txtMotivo;
    QLineEdit* txtAutorizzato;
    std::optional<Answer> m_answer;
};
