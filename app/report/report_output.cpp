#include "app/report/report_output.h"

#include "app/platform/print_dialogs.h"
#include "app/report/report_painter.h"
#include "core/shell/user_settings.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_custom.h"

#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

TReportOutput::TReportOutput(TVacuumApplication& app, const TTavUserSettings& settings,
                             const IClock& clock, TFieldFinder fields)
    : app_(app), settings_(settings), clock_(clock), fields_(std::move(fields)),
      font_(ReportFont()) {}

std::string TReportOutput::FieldText(const TFMU2Custom* field, const TReportValue& value,
                                     const TReportFieldText& fallback) {
    if (!field || field->NormUnit() != value.Quantity) return fallback ? fallback(value) : std::string();
    std::string text = field->DisplayText().trimmed().toStdString();
    const std::string& unit = field->Model().UnitCaption();
    if (field->NormUnit() != cNU_NoUnit && !unit.empty()) text += " " + unit;
    return text;
}

TReportSetup TReportOutput::Setup(QPaintDevice& device) const {
    TReportSetup setup;
    SetReportPage(setup, device, font_);
    setup.DateTime = QLocale::system().toString(clock_.Now(), QLocale::ShortFormat).toStdString();
    setup.Version = settings_.Version();
    setup.Measure = settings_.Measure();
    setup.Currency = settings_.Currency();
    if (fields_) {
        TReportSetup defaults = setup;
        setup.FieldText = [this, defaults](const TReportValue& v) {
            return FieldText(fields_(v), v, [&defaults](const TReportValue& d) {
                return ReportDefaultFieldText(d, defaults.Measure);
            });
        };
    }
    return setup;
}

TReportLayout TReportOutput::Layout(QPaintDevice& device) const {
    return LayoutReport(app_, Setup(device));
}

bool TReportOutput::Paint(QPagedPaintDevice& device) const {
    const TReportLayout layout = Layout(device);
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const bool ok = PaintReport(painter, layout, font_, [&device] { return device.newPage(); });
    return painter.end() && ok;
}

bool TReportOutput::WritePdf(const QString& fileName, QString* error) const {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    bool painted = false;
    {
        QPdfWriter writer(&file);
        writer.setResolution(cPdfResolution);
        writer.setCreator(QStringLiteral("vacuum-designer"));
        writer.setTitle(QString::fromStdString(app_.Language.TranslateDisplay("~Sorvane")));
        const bool us = settings_.Measure() == "1";
        // About the unprintable margin of an office printer, so the file prints as the
        // printer would print the report.
        writer.setPageLayout(QPageLayout(QPageSize(us ? QPageSize::Letter : QPageSize::A4),
                                         QPageLayout::Portrait, QMarginsF(5, 5, 5, 5),
                                         QPageLayout::Millimeter));
        painted = Paint(writer);
    }
    if (!painted) {
        file.cancelWriting();
        if (error) *error = QStringLiteral("the report could not be drawn");
        return false;
    }
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}
