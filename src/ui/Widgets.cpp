#include "Widgets.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSet>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

QFont uiFont(const QString& family, int pixelSize, bool bold) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, int x, int y,
                 const QFont& font, const QColor& color) {
    auto* label = named(new QLabel(text, parent), name);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, color);
    label->setPalette(pal);
    label->adjustSize();
    label->move(x, y);
    return label;
}

QString artwork(const char* name) {
    return QStringLiteral(":/icons/") + QLatin1String(name);
}

QPixmap artworkPixmap(const QString& resource, const QSize& size, qreal devicePixelRatio) {
    const int scale = devicePixelRatio > 1 ? 2 : 1;
    QPixmap pixmap(QStringLiteral("%1/%2x%3%4.png")
                       .arg(resource)
                       .arg(size.width())
                       .arg(size.height())
                       .arg(scale == 2 ? QStringLiteral("@2x") : QString()));
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

namespace {

// Draws the widget's picture with its top left corner at `at`. A size the build rendered no
// picture for is a fault of the size table, reported once.
void drawArtwork(QPainter& painter, const QWidget& widget, const QString& resource,
                 const QPoint& at) {
    const QPixmap pixmap = artworkPixmap(resource, widget.size(), widget.devicePixelRatioF());
    if (pixmap.isNull()) {
        static QSet<QString> reported;
        const QString key =
            QStringLiteral("%1 %2x%3").arg(resource).arg(widget.width()).arg(widget.height());
        if (!reported.contains(key)) {
            reported.insert(key);
            qWarning("no artwork %s", qPrintable(key));
        }
        return;
    }
    // A screen between 1x and 2x gets the 2x picture scaled down.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(at, pixmap);
}

// Enter on a focused push button presses it, as Space does. Held down, it presses once:
// an Enter chain that ends on the button must not go on to press it.
class EnterPresses : public QObject {
public:
    explicit EnterPresses(QPushButton* button) : QObject(button), m_button(button) {
        button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        if (!key->isAutoRepeat())
            m_button->click();
        return true;
    }

private:
    QPushButton* m_button;
};

} // namespace

QPushButton* addButton(QWidget* parent, const QString& name, const QString& text, const QRect& at,
                       const QFont& font) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(at);
    button->setFont(font);
    button->setCursor(Qt::PointingHandCursor);
    // No button is a dialog's default: Enter in a field only moves the focus.
    button->setAutoDefault(false);
    new EnterPresses(button);
    return button;
}

QLabel* addHiddenLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = named(new QLabel(text, parent), name);
    label->hide();
    return label;
}

void showText(QLineEdit* field, const QString& text) {
    field->setText(text);
    field->setCursorPosition(0);
}

void paintVerticalGradient(QPainter& painter, const QRectF& rect, const QColor& top,
                           const QColor& bottom) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.fillRect(rect, gradient);
}

Shape::Shape(QWidget* parent, const char* name, const QColor& fill, const QColor& border,
             const QColor& gradientBottom)
    : QWidget(parent), m_fill(fill), m_border(border), m_bottom(gradientBottom) {
    setObjectName(QLatin1String(name));
}

void Shape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRectF r = rect();
    if (m_bottom.isValid())
        paintVerticalGradient(p, r, m_fill, m_bottom);
    else if (m_fill.isValid())
        p.fillRect(r, m_fill);
    if (m_border.isValid()) {
        p.setPen(QPen(m_border, 1));
        p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

Picture::Picture(QWidget* parent, const char* name, const QString& resource)
    : QWidget(parent), m_resource(resource) {
    setObjectName(QLatin1String(name));
}

void Picture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    drawArtwork(p, *this, m_resource, {0, 0});
}

ImageButton::ImageButton(QWidget* parent, const char* name, const QString& resource)
    : QAbstractButton(parent), m_resource(resource) {
    setObjectName(QLatin1String(name));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void ImageButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!isEnabled())
        p.setOpacity(0.4);
    // Pressed, the picture moves one pixel down and right.
    drawArtwork(p, *this, m_resource, isDown() ? QPoint(1, 1) : QPoint(0, 0));
    if (m_hover && isEnabled() && !isDown())
        p.fillRect(rect(), QColor(255, 255, 255, 50));
}

void ImageButton::enterEvent(QEnterEvent* event) {
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ImageButton::leaveEvent(QEvent* event) {
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

WrappingCheckBox::WrappingCheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent) {}

QRect WrappingCheckBox::textArea() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect box = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    const int left =
        box.right() + 1 + style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, this);
    return {left, 0, std::max(0, width() - left), height()};
}

QRect WrappingCheckBox::textBounds() const {
    return fontMetrics().boundingRect(textArea(), kFlags, text());
}

void WrappingCheckBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    // The box stands in the middle of the height, beside the lines.
    option.rect = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, option);
    style()->drawItemText(&painter, textArea(), kFlags, palette(), isEnabled(), text(),
                          QPalette::WindowText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = textBounds().adjusted(-2, -1, 2, 1);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool WrappingCheckBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}
