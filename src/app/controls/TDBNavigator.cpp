#include "controls/TDBNavigator.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace {

struct ButtonSpec {
    const char* name;
    const char16_t* glyph;
    const char* hint;
};

// Hints are the navigator's own texts.
constexpr ButtonSpec kSpecs[TDBNavigator::kButtonCount] = {
    {"nbFirst", u"|\u25c0", "First record"}, {"nbPrior", u"\u25c0", "Prior record"},
    {"nbNext", u"\u25b6", "Next record"},    {"nbLast", u"\u25b6|", "Last record"},
    {"nbInsert", u"+", "Insert record"},     {"nbDelete", u"\u2212", "Delete record"},
    {"nbEdit", u"\u25b2", "Edit record"},    {"nbPost", u"\u2714", "Post edit"},
    {"nbCancel", u"\u2716", "Cancel edit"},
};

}  // namespace

TDBNavigator::TDBNavigator(bool withInsert, QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < kButtonCount; ++i) {
        if (i == nbInsert && !withInsert)
            continue;
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(kSpecs[i].name));
        button->setText(QString::fromUtf16(kSpecs[i].glyph));
        button->setToolTip(QString::fromLatin1(kSpecs[i].hint));
        button->setStatusTip(QString::fromLatin1(kSpecs[i].hint));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setEnabled(false);
        const auto which = static_cast<Button>(i);
        connect(button, &QToolButton::clicked, this, [this, which] { emit clicked(which); });
        layout->addWidget(button);
        buttons_[i] = button;
    }
}

void TDBNavigator::SetButtonEnabled(Button button, bool enabled) {
    if (buttons_[button])
        buttons_[button]->setEnabled(enabled);
}
