#include "platform/qt/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace orv {
namespace {

QPixmap draw_icon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const qreal unit = size / 32.0;
    const QRectF page(1 * unit, 1 * unit, 30 * unit, 30 * unit);
    QPainterPath outline;
    outline.addRoundedRect(page, 5 * unit, 5 * unit);
    painter.fillPath(outline, QColor(0x1f, 0x4e, 0x8c));

    // The stripes along the bottom, clipped to the rounded page.
    painter.save();
    painter.setClipPath(outline);
    const qreal stripe = 3 * unit;
    const qreal bottom = page.bottom();
    painter.fillRect(QRectF(page.left(), bottom - 3 * stripe, page.width(), stripe), Qt::black);
    painter.fillRect(QRectF(page.left(), bottom - 2 * stripe, page.width(), stripe),
                     QColor(0xdd, 0x00, 0x00));
    painter.fillRect(QRectF(page.left(), bottom - stripe, page.width(), stripe),
                     QColor(0xff, 0xce, 0x00));
    painter.restore();

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(static_cast<int>(19 * unit));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(page.left(), page.top(), page.width(), page.height() - 9 * unit),
                     Qt::AlignCenter, QString(QChar(0x00DC)));
    return pixmap;
}

} // namespace

QIcon program_icon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(draw_icon(size));
    }
    return icon;
}

} // namespace orv
