#include "OverlayPainter.h"

#include "OverlayText.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int kMargin = 5;
constexpr int kFirstBaseline = 32;
constexpr int kLineSpacing = 20;
constexpr int kFrameTimeBaseline = 48;

QFont overlayFont(int pixels, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

}  // namespace

void OverlayPainter::paint(QPainter& painter, const Selection& selection, uint32_t incoming,
                           uint32_t outgoing, int milliseconds, int width, int /*height*/) {
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::white);
    painter.setFont(overlayFont(13, false));
    const QFontMetrics metrics = painter.fontMetrics();
    for (int row = 0; row < 4; ++row) {
        const std::string line = OverlayText::line(selection, incoming, outgoing, row);
        if (line.empty()) continue;
        // A name longer than the picture ends in an ellipsis at its right edge.
        const QString text = metrics.elidedText(QString::fromUtf8(line.data(), int(line.size())),
                                                Qt::ElideRight, width - 2 * kMargin);
        painter.drawText(kMargin, kFirstBaseline + kLineSpacing * row, text);
    }
    painter.setFont(overlayFont(24, false));
    const QString frameTime = QString::fromStdString(OverlayText::frameTimeText(milliseconds));
    const int advance = painter.fontMetrics().horizontalAdvance(frameTime);
    painter.drawText(width - 8 - advance, kFrameTimeBaseline, frameTime);
    painter.restore();
}
