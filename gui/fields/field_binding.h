#pragma once

#include "gui/fields/fmu2_custom.h"

#include <functional>

#include <QObject>

//! Binds a value field to one value of a document: Refresh() shows the document's value in
//! the field, and every change of the field's value (a user's entry, or a value the program
//! sets into it) is stored into the document. The value that Refresh() sets is not stored
//! back. The field's other followers (its owner's OnChange, other signal connections) hear
//! every change, those of Refresh() included.
//!
//! The binding is a child of the field and goes with it.
//!
//!     auto* mass = new TFieldBinding(massField,
//!                                    [&doc] { return doc.Workpiece.Mass; },
//!                                    [&doc](double m) { doc.Workpiece.Mass = m; });
//!     ...
//!     mass->Refresh(); // entering the page
class TFieldBinding : public QObject {
    Q_OBJECT

public:
    using TRead = std::function<double()>;
    using TStore = std::function<void(double)>;

    TFieldBinding(TFMU2Custom* field, TRead read, TStore store);
    //! A binding to a double that outlives the field.
    TFieldBinding(TFMU2Custom* field, double& value);

    TFMU2Custom* Field() const { return field_; }
    //! Sets the document's value into the field without storing it back.
    void Refresh();

private:
    void FieldChanged();

    TFMU2Custom* field_;
    TRead read_;
    TStore store_;
    bool refreshing_ = false;
};
