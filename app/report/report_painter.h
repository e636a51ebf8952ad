#pragma once

#include "core/workflow/report_layout.h"

#include <functional>

#include <QFont>

class QPaintDevice;
class QPainter;

//! The report's font: Liberation Sans (the metrics of Arial), from the fonts the program
//! brings beside it when it has them, at 9 pt; the family the system substitutes for
//! Arial otherwise. The fonts are registered once per run.
QFont ReportFont();

//! The report's line height on `device`: the height of "Mg" in the report font.
int ReportLineHeight(const QFont& font, QPaintDevice& device);

//! The page and line height of `device` in a report setup (the other members as given).
void SetReportPage(TReportSetup& setup, QPaintDevice& device, const QFont& font);

//! Draws the commands on an active painter in the report font: lines and frames one pen
//! of about 0.13 mm, texts at their top left corner. `newPage` starts the next page (a
//! printer's newPage); false stops the drawing. False when a page could not be started.
bool PaintReport(QPainter& painter, const TReportLayout& layout, const QFont& font,
                 const std::function<bool()>& newPage);
