#include "app/pages/placeholder/placeholder_page.h"

#include <QLabel>
#include <QVBoxLayout>

TPlaceholderPage::TPlaceholderPage(TPageContext&, int index) : index_(index) {
    setObjectName(QString("PagePlaceholder%1").arg(index));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The frame shows the page caption above the page.
    auto* note = new QLabel("~PageFollows", this);
    note->setObjectName("PlaceholderNote");
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addStretch(1);
}
