#include "CellEdit.h"

#include <QBackingStore>
#include <QCache>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextLayout>
#include <algorithm>

namespace tessel {

// Everything an idle text box's picture depends on.
struct CellLook {
    QString text;
    QFont font;
    QSize size;
    qreal dpr = 1;
    QImage::Format format = QImage::Format_ARGB32_Premultiplied;
    QRgb under = 0, base = 0, ink = 0;
    int alignment = 0;
    QMargins margins;
    const QStyle* style = nullptr;
    bool frame = false, enabled = true, active = true;
    bool operator==(const CellLook& o) const {
        return text == o.text && size == o.size && dpr == o.dpr && format == o.format && under == o.under &&
               base == o.base && ink == o.ink && alignment == o.alignment && margins == o.margins && style == o.style &&
               frame == o.frame && enabled == o.enabled && active == o.active && font == o.font;
    }
};

size_t qHash(const CellLook& k, size_t seed = 0) {
    return qHashMulti(seed, k.text, k.font, k.size.width(), k.size.height(), k.under, k.base, k.ink, k.alignment);
}

namespace {

// Pictures of idle text boxes, by look. Scrolling a grid shows mostly texts that were on screen a
// moment ago one row further up or down: each is drawn once and then copied.
QCache<CellLook, QImage>& pictures() {
    static auto* cache = new QCache<CellLook, QImage>(8 * 1024);  // cost in KiB
    static bool emptiedAtExit = false;
    if (!emptiedAtExit) {
        // Emptied with the application: the fonts in the keys must not outlive Qt's font system.
        qAddPostRoutine([] {
            cache->clear();
            emptiedAtExit = false;
        });
        emptiedAtExit = true;
    }
    return *cache;
}

// The text box shows control characters and separators as spaces.
QString printable(QString text) {
    for (QChar& c : text)
        if ((c.unicode() < 0x20 && c.unicode() != 0x09) || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator || c == QChar::ObjectReplacementCharacter)
            c = QChar(0x20);
    return text;
}

}  // namespace

QImage::Format CellEdit::surfaceFormat() const {
    if (QBackingStore* store = window()->backingStore())
        if (QPaintDevice* d = store->paintDevice(); d && d->devType() == QInternal::Image)
            return static_cast<QImage*>(d)->format();
    return QImage::Format_ARGB32_Premultiplied;
}

void CellEdit::paintIdle(const QString& text, double size) {
    CellLook look;
    look.text = text;
    look.font = font();
    if (look.font.pointSizeF() != size) look.font.setPointSizeF(size);
    look.size = this->size();
    look.dpr = devicePixelRatioF();
    look.format = surfaceFormat();
    const QPalette& pal = palette();
    look.under = owner_->palette().color(QPalette::Window).rgba();
    look.base = pal.color(QPalette::Base).rgba();
    look.ink = pal.color(QPalette::Text).rgba();
    look.alignment = int(alignment());
    look.margins = textMargins();
    look.style = style();
    look.frame = hasFrame();
    look.enabled = isEnabled();
    look.active = isActiveWindow();
    const QImage* picture = pictures().object(look);
    if (!picture) {
        auto* image = new QImage(drawn(look));
        const int cost = std::max<qsizetype>(1, image->sizeInBytes() / 1024);
        if (!pictures().insert(look, image, cost)) return;  // too large to keep (and deleted)
        picture = pictures().object(look);
    }
    QPainter p(this);
    p.drawImage(QPointF(0, 0), *picture);
}

// The picture of `look`, drawn on a scratch image that keeps its paint engine from one
// picture to the next: setting up an engine for every new image costs more than the drawing.
QImage CellEdit::drawn(const CellLook& look) {
    static QImage* scratch = nullptr;
    const QSize pixels = (QSizeF(look.size) * look.dpr).toSize();
    if (!scratch || scratch->format() != look.format || scratch->devicePixelRatio() != look.dpr ||
        scratch->width() < pixels.width() || scratch->height() < pixels.height()) {
        const QSize grown = scratch ? pixels.expandedTo(scratch->size()) : pixels;
        delete scratch;
        scratch = new QImage(grown, look.format);
        scratch->setDevicePixelRatio(look.dpr);
    }
    {
        QPainter ip(scratch);
        ip.setClipRect(QRect(QPoint(0, 0), look.size));
        drawText(ip, look);
    }
    QImage picture = scratch->copy(QRect(QPoint(0, 0), pixels));
    picture.setDevicePixelRatio(look.dpr);
    return picture;
}

// The text box's own painting of an unfocused line, over the cell's background.
void CellEdit::drawText(QPainter& p, const CellLook& look) {
    p.fillRect(QRect(QPoint(0, 0), look.size), QColor::fromRgba(look.under));
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &p, this);
    if (look.text.isEmpty()) return;
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).marginsRemoved(look.margins);
    p.setClipRect(r);
    const QString shown = printable(look.text);
    QTextLayout layout(shown, look.font);
    QTextOption option = layout.textOption();
    option.setTextDirection(Qt::LeftToRight);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const QFontMetrics fm(look.font);
    const int lineH = std::max(fm.boundingRect(shown).height(), fm.height());
    int top = 0;
    switch (look.alignment & Qt::AlignVertical_Mask) {
    case Qt::AlignBottom: top = r.y() + r.height() - lineH - 1; break;
    case Qt::AlignTop: top = r.y() + 1; break;
    default: top = r.y() + (r.height() - lineH + 1) / 2; break;
    }
    const QRect lineRect(r.x() + 2, top, r.width() - 4, lineH);
    const int minLB = std::max(0, -fm.minLeftBearing()), minRB = std::max(0, -fm.minRightBearing());
    const int used = qRound(line.naturalTextWidth()) + 1 + minRB;
    const int hscroll = minLB + used <= lineRect.width() ? -minLB : 0;
    p.setPen(QColor::fromRgba(look.ink));
    layout.draw(&p, QPointF(lineRect.topLeft() - QPoint(hscroll, qRound(line.ascent()) - fm.ascent())), {}, QRectF(r));
}

}  // namespace tessel
