#include "shell/TAboutBox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));

    auto* product = new QLabel(QStringLiteral("Brevilo"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    product->setFont(big);
    auto* version = new QLabel(QStringLiteral("Version ") + QStringLiteral(BREVILO_VERSION), this);
    version->setObjectName(QStringLiteral("Version"));
    auto* comments = new QLabel(
        QStringLiteral("A desktop archive for Internet text: mail, news, text files and web "
                       "pages are collected as records and found again by keyword."),
        this);
    comments->setObjectName(QStringLiteral("Comments"));
    comments->setWordWrap(true);
    auto* copyright = new QLabel(QStringLiteral("Copyright \u00a9 Korvath"), this);
    copyright->setObjectName(QStringLiteral("Copyright"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(product);
    layout->addWidget(version);
    layout->addWidget(comments);
    layout->addWidget(copyright);
    layout->addWidget(buttons);
    setMinimumWidth(340);
}
