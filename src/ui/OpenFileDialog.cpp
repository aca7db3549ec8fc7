#include "OpenFileDialog.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace OpenFileDialog {
namespace {

// A filter's patterns stand in its last parentheses: "Tutti i file (*.*)".
const QRegularExpression& patternsAtTheEnd() {
    static const QRegularExpression re(QStringLiteral("^(.*)\\(([^()]*)\\)\\s*$"));
    return re;
}

// The caption as given, followed by the patterns the dialog matches, "*.*" made "*". The
// dialog hides that last list (HideNameFilterDetails), so the caption shows as given.
QString withPatterns(const QString& filter) {
    const QRegularExpressionMatch match = patternsAtTheEnd().match(filter);
    QStringList patterns = match.hasMatch()
                               ? match.captured(2).split(QLatin1Char(' '), Qt::SkipEmptyParts)
                               : filter.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
    }
    return filter.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
           QLatin1Char(')');
}

} // namespace

void configure(QFileDialog& dialog, const QString& title, const QString& filter) {
    dialog.setWindowTitle(title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    QStringList filters;
    for (const QString& one : filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts))
        filters.append(withPatterns(one));
    dialog.setNameFilters(filters);
}

QString run(QWidget* parent, const QString& title, const QString& filter) {
    QFileDialog dialog(parent);
    configure(dialog, title, filter);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

} // namespace OpenFileDialog
