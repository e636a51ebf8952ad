#pragma once

#include "core/workflow/report_layout.h"

#include <functional>
#include <string_view>

#include <QFont>
#include <QString>

class IClock;
class QPagedPaintDevice;
class QPaintDevice;
class TFMU2Custom;
class TTavUserSettings;
class TVacuumApplication;

//! The printed report of the application's project on a printer, a print preview or a
//! PDF file. Values are printed as the value fields of the pages show them (their current
//! unit); a value whose field cannot be found is printed in the default unit of the
//! measurement system.
class TReportOutput {
public:
    //! The value field of a page that shows a value (by its object name); null when there
    //! is none.
    using TFieldFinder = std::function<TFMU2Custom*(const TReportValue& value)>;

    TReportOutput(TVacuumApplication& app, const TTavUserSettings& settings, const IClock& clock,
                  TFieldFinder fields = {});

    //! The report laid out for `device`'s page.
    TReportLayout Layout(QPaintDevice& device) const;
    //! Draws every page of the report on a printer (or preview) that has not been painted
    //! on yet. False when the device cannot be painted on.
    bool Paint(QPagedPaintDevice& device) const;
    //! Writes the report as a PDF file at 600 dpi (A4; US Letter with US units), whole or
    //! not at all: an existing file is replaced only by a complete new one. False with
    //! `error` set when it could not be written.
    bool WritePdf(const QString& fileName, QString* error = nullptr) const;

    //! What the report prints for a value: the field's text and unit when `field` shows
    //! the value's quantity, else `fallback`'s text.
    static std::string FieldText(const TFMU2Custom* field, const TReportValue& value,
                                 const TReportFieldText& fallback);

    //! The PDF resolution.
    static constexpr int cPdfResolution = 600;

private:
    TReportSetup Setup(QPaintDevice& device) const;

    TVacuumApplication& app_;
    const TTavUserSettings& settings_;
    const IClock& clock_;
    TFieldFinder fields_;
    QFont font_;
};
