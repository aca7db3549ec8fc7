#include "Widgets.h"

#include <QEnterEvent>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>

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
    return QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name));
}

QPushButton* addButton(QWidget* parent, const QString& name, const QString& text, const QRect& at,
                       const QFont& font) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(at);
    button->setFont(font);
    button->setCursor(Qt::PointingHandCursor);
    button->setAutoDefault(false);
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
    : QWidget(parent), m_svg(new QSvgRenderer(resource, this)) {
    setObjectName(QLatin1String(name));
}

void Picture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    m_svg->render(&p, rect());
}

ImageButton::ImageButton(QWidget* parent, const char* name, const QString& resource)
    : QAbstractButton(parent), m_svg(new QSvgRenderer(resource, this)) {
    setObjectName(QLatin1String(name));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void ImageButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        p.setOpacity(0.4);
    const QRectF r = rect();
    m_svg->render(&p, isDown() ? r.adjusted(1, 1, 1, 1) : r);
    if (m_hover && isEnabled() && !isDown())
        p.fillRect(r, QColor(255, 255, 255, 50));
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
