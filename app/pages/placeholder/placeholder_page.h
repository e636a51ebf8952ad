#pragma once

#include "app/frame/page.h"

#include <QWidget>

//! Stands in the slot of a working page that is not built yet: under the page caption (which
//! the frame shows) a line says that the page follows. The workflow walks over it as over the page
//! it stands for.
class TPlaceholderPage : public QWidget, public TPage {
    Q_OBJECT

public:
    TPlaceholderPage(TPageContext& context, int index);

    int Index() const override { return index_; }
    QWidget* Widget() override { return this; }

private:
    int index_;
};
