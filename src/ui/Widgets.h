#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>
#include <QWidget>

class QLineEdit;
class QPixmap;
class QPushButton;

// The building blocks of every window: fonts by pixel size as the layouts give them,
// labels, rectangles, pictures and picture buttons drawn from the artwork. Controls
// stand at the fixed positions of their window's layout (setGeometry).

QFont uiFont(const QString& family, int pixelSize, bool bold = false);

// Sets the object name (and so the control's name in tests) and returns the widget.
template <typename W> W* named(W* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

// ":/icons/<name>", a picture of the program's artwork: resources/icons/<name>.svg, rendered
// by the build to PNG at each size a window draws it at (resources/icons/sizes.txt), so that
// no SVG renderer is needed at run time.
QString artwork(const char* name);

// The picture `resource` rendered for `size`: at 2x on a screen of more than one device
// pixel per pixel, else at 1x. Null when the build rendered none for that size.
QPixmap artworkPixmap(const QString& resource, const QSize& size, qreal devicePixelRatio);

// A push button at `at`: the hand pointer; Enter or Space pressed on it while it has the
// focus presses it, and Enter in a field never does.
QPushButton* addButton(QWidget* parent, const QString& name, const QString& text, const QRect& at,
                       const QFont& font = uiFont(QStringLiteral("Verdana"), 12));

// A label that holds a window's state and is never shown.
QLabel* addHiddenLabel(QWidget* parent, const char* name, const QString& text = QString());

// A label at (x, y) with its natural size.
QLabel* addLabel(QWidget* parent, const char* name, const QString& text, int x, int y,
                 const QFont& font, const QColor& color = Qt::black);

// Shows a loaded text from its beginning (a long text would otherwise show its end).
void showText(QLineEdit* field, const QString& text);

// Paints a vertical gradient over `rect`.
void paintVerticalGradient(QPainter& painter, const QRectF& rect, const QColor& top,
                           const QColor& bottom);

// A rectangle: a flat fill or a vertical gradient, with an optional one-unit border.
class Shape : public QWidget {
    Q_OBJECT
public:
    Shape(QWidget* parent, const char* name, const QColor& fill, const QColor& border = QColor(),
          const QColor& gradientBottom = QColor());

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill;
    QColor m_border;
    QColor m_bottom;
};

// A picture of the artwork at the widget's size.
class Picture : public QWidget {
    Q_OBJECT
public:
    Picture(QWidget* parent, const char* name, const QString& resource);
    const QString& resource() const { return m_resource; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_resource;
};

// A clickable picture with the hand pointer; drawn lighter while the pointer is over it
// and dimmed when disabled.
class ImageButton : public QAbstractButton {
    Q_OBJECT
public:
    ImageButton(QWidget* parent, const char* name, const QString& resource);
    QSize sizeHint() const override { return size(); }
    const QString& resource() const { return m_resource; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QString m_resource;
    bool m_hover = false;
};

// A check box whose text wraps over as many lines as its width needs (a text stays as it
// is given, without a line break typed into it); a click anywhere on it, its text
// included, toggles it.
class WrappingCheckBox : public QCheckBox {
    Q_OBJECT
public:
    WrappingCheckBox(const QString& text, QWidget* parent);

    // The room beside the box where the text is drawn, and the part the lines take.
    QRect textArea() const;
    QRect textBounds() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    static constexpr int kFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
};
