#include "colourdialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace huvolo {

namespace {

constexpr int SwatchSide = 16;

QPixmap swatch(OLE_COLOR colour)
{
    QPixmap picture(SwatchSide, SwatchSide);
    picture.fill(toQColor(colour));
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, SwatchSide - 1, SwatchSide - 1);
    return picture;
}

} // namespace

const std::vector<std::pair<OLE_COLOR, QString>> &systemColours()
{
    static const std::vector<std::pair<OLE_COLOR, QString>> colours{
        {vbWindowBackground, QStringLiteral("Window background")},
        {vbWindowText, QStringLiteral("Window text")},
        {0x8000000D, QStringLiteral("Highlight")},
        {0x8000000E, QStringLiteral("Highlighted text")},
        {vbButtonFace, QStringLiteral("Button face")},
        {0x80000010, QStringLiteral("Button shadow")},
        {0x80000012, QStringLiteral("Button text")},
        {0x80000014, QStringLiteral("Button highlight")},
    };
    return colours;
}

QString colourText(OLE_COLOR colour)
{
    for (const auto &[value, name] : systemColours())
        if (value == colour)
            return name;
    return toQColor(colour).name().toUpper();
}

QString colourPropertyTitle(const QString &propertyName)
{
    QString title;
    for (const QChar c : propertyName) {
        if (c.isUpper() && !title.isEmpty())
            title += QLatin1Char(' ');
        title += c;
    }
    return title.replace(QStringLiteral("Color"), QStringLiteral("Colour"));
}

ColourDialog::ColourDialog(const QString &propertyName, OLE_COLOR colour, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Change ") + colourPropertyTitle(propertyName));

    m_swatch = new QLabel(this);
    m_preview = new QLabel(this);
    m_preview->setTextFormat(Qt::PlainText);
    m_preview->setAccessibleName(QStringLiteral("Chosen colour"));
    auto *chosen = new QHBoxLayout;
    chosen->addWidget(m_swatch);
    chosen->addWidget(m_preview, 1);

    auto *systemLabel = new QLabel(QStringLiteral("&System colours:"), this);
    m_systemColours = new QListWidget(this);
    m_systemColours->setAccessibleName(QStringLiteral("System colours"));
    systemLabel->setBuddy(m_systemColours);
    for (const auto &[value, name] : systemColours()) {
        auto *item = new QListWidgetItem(QIcon(swatch(value)), name, m_systemColours);
        item->setData(Qt::UserRole, value);
    }
    // The selection, not the current item: a list taking the focus makes its
    // first item current without choosing it.
    connect(m_systemColours, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem *> selected = m_systemColours->selectedItems();
        if (!selected.isEmpty())
            choose(selected.first()->data(Qt::UserRole).toUInt());
    });

    auto *other = new QPushButton(QStringLiteral("&Other Colour…"), this);
    other->setAutoDefault(false);
    connect(other, &QPushButton::clicked, this, &ColourDialog::chooseOther);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(chosen);
    layout->addWidget(systemLabel);
    layout->addWidget(m_systemColours);
    layout->addWidget(other, 0, Qt::AlignLeft);
    layout->addWidget(buttons);

    choose(colour);
}

OLE_COLOR ColourDialog::colour() const
{
    return m_colour;
}

void ColourDialog::choose(OLE_COLOR colour)
{
    m_colour = colour;
    m_swatch->setPixmap(swatch(colour).scaled(2 * SwatchSide, SwatchSide));
    m_preview->setText(colourText(colour));
    // The list shows which system colour is chosen, and none for any other colour.
    QListWidgetItem *current = nullptr;
    for (int row = 0; row < m_systemColours->count(); ++row)
        if (m_systemColours->item(row)->data(Qt::UserRole).toUInt() == colour)
            current = m_systemColours->item(row);
    const QSignalBlocker blocker(m_systemColours);
    m_systemColours->setCurrentItem(current);
    if (!current)
        m_systemColours->clearSelection();
}

void ColourDialog::chooseOther()
{
    QColorDialog dialog(toQColor(m_colour), this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() == QDialog::Accepted && dialog.selectedColor().isValid())
        choose(fromQColor(dialog.selectedColor()));
}

} // namespace huvolo
