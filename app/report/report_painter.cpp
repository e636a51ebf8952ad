#include "app/report/report_painter.h"

#include "core/data/orsik_connection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The fonts the build puts beside the programs, those of the data folder (an installed
// copy), or the system's copy of them.
void RegisterReportFonts() {
    static const bool registered = [] {
        const QStringList folders = {QCoreApplication::applicationDirPath() + "/fonts",
                                     QString::fromStdString(TOrsikConnection::DataFolder()) + "/fonts",
                                     "/usr/share/fonts/truetype/liberation2",
                                     "/usr/share/fonts/truetype/liberation"};
        for (const QString& folder : folders) {
            const QDir dir(folder);
            const QStringList files = dir.entryList({"LiberationSans-*.ttf"}, QDir::Files);
            if (files.isEmpty()) continue;
            for (const QString& f : files) QFontDatabase::addApplicationFont(dir.filePath(f));
            break;
        }
        return true;
    }();
    (void)registered;
}

} // namespace

QFont ReportFont() {
    RegisterReportFonts();
    const bool bundled = QFontDatabase::families().contains("Liberation Sans");
    QFont font(bundled ? QStringLiteral("Liberation Sans") : QStringLiteral("Arial"));
    font.setPointSizeF(9.0);
    font.setStyleHint(QFont::SansSerif);
    // Whole-pixel glyph positions would move texts with the device's resolution.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

int ReportLineHeight(const QFont& font, QPaintDevice& device) {
    return QFontMetrics(font, &device).height();
}

void SetReportPage(TReportSetup& setup, QPaintDevice& device, const QFont& font) {
    setup.PageWidth = device.width();
    setup.PageHeight = device.height();
    setup.LineHeight = ReportLineHeight(font, device);
}

bool PaintReport(QPainter& painter, const TReportLayout& layout, const QFont& font,
                 const std::function<bool()>& newPage) {
    QPaintDevice* device = painter.device();
    const int dpi = device ? std::max(device->logicalDpiX(), 1) : 96;
    QPen pen(Qt::black);
    pen.setWidth(std::max(1, static_cast<int>(std::lround(dpi / 200.0))));
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    QFont big = font;
    big.setPointSizeF(font.pointSizeF() * 2);
    const QFontMetrics normalMetrics(font, device);
    const QFontMetrics bigMetrics(big, device);
    int scale = 0;
    for (const TReportCommand& c : layout.Commands) {
        switch (c.Op) {
        case TReportCommand::crText: {
            if (c.FontScale != scale) {
                scale = c.FontScale;
                painter.setFont(scale >= 2 ? big : font);
            }
            const int ascent = scale >= 2 ? bigMetrics.ascent() : normalMetrics.ascent();
            painter.drawText(QPoint(c.X, c.Y + ascent), QString::fromStdString(c.Text));
            break;
        }
        case TReportCommand::crLine: painter.drawLine(c.X, c.Y, c.X2, c.Y2); break;
        case TReportCommand::crRect:
            painter.drawRect(std::min(c.X, c.X2), std::min(c.Y, c.Y2), std::abs(c.X2 - c.X),
                             std::abs(c.Y2 - c.Y));
            break;
        case TReportCommand::crNewPage:
            if (!newPage || !newPage()) return false;
            painter.setPen(pen);
            scale = 0;
            break;
        }
    }
    return true;
}
