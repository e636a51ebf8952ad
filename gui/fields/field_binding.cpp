#include "gui/fields/field_binding.h"

#include <utility>

TFieldBinding::TFieldBinding(TFMU2Custom* field, TRead read, TStore store)
    : QObject(field), field_(field), read_(std::move(read)), store_(std::move(store)) {
    connect(field_, &TFMU2Custom::changed, this, &TFieldBinding::FieldChanged);
}

TFieldBinding::TFieldBinding(TFMU2Custom* field, double& value)
    : TFieldBinding(
          field, [&value] { return value; }, [&value](double x) { value = x; }) {}

void TFieldBinding::Refresh() {
    if (!read_) return;
    const bool was = refreshing_;
    refreshing_ = true;
    field_->SetValue(read_());
    refreshing_ = was;
}

void TFieldBinding::FieldChanged() {
    if (refreshing_ || !store_) return;
    store_(field_->Value());
}
