#include "frmmain.h"

#include "accessibility.h"
#include "clipboard.h"
#include "colouractions.h"
#include "applicationid.h"
#include "focuschain.h"
#include <Huvolo/colour.h>
#include "embeddedpicture.h"
#include <Huvolo/hosterror.h>
#include <Huvolo/placement.h>
#include <Huvolo/hostevents.h>
#include "numeric.h"
#include "picturebox.h"
#include "textbox.h"
#include "winapi.h"
#include <Huvolo/xpcmdbutton.h>

#include <QGuiApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeySequence>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <utility>

namespace huvolo {

namespace embedded {
extern const EmbeddedPicture colourWheel;
extern const EmbeddedPicture swatchGrid;
} // namespace embedded

namespace {

// The stored layout, in twips of the client area (15 to a pixel).
constexpr StoredRect clientArea{0, 0, 3765, 4125};
constexpr StoredRect xpcmdTogglePlace{2700, 3300, 915, 315};
constexpr StoredRect txtHexPlace{75, 3750, 3600, 285};
constexpr StoredRect picturePlace{75, 75, 3615, 3615};

PictureBox *makePicture(QWidget *parent, const char *name, const EmbeddedPicture &image)
{
    auto *picture = new PictureBox(parent);
    picture->setObjectName(QLatin1String(name));
    picture->setGeometry(picturePlace.toPixels());
    picture->setBackColor(vbWindowBackground);
    picture->setFocusPolicy(Qt::StrongFocus);
    picture->setPicture(image.image());
    return picture;
}

// The swatch picture's grid of 16 by 16 tiles, in its pixels: the arrow keys
// move from tile to tile there.
constexpr QRectF swatchGridArea{3.0, 32.0, 16 * 14.375, 16 * 10.75};
constexpr int swatchGridSide = 16;

FontRef toStdFont(const QFont &font)
{
    return makeFont(font.family(), font.pointSizeF() > 0 ? font.pointSizeF() : 8.25, qint16(font.weight()));
}

} // namespace

FrmMain::FrmMain(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    createControls();
    arrangeControls();
    connectEvents();
    connectAssistance();
    createActions();

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(startPosition(screen->availableGeometry(), size()));

    hostGuard([this] { Form_Load(); });
}

// The window and its controls, created in the order of the stored layout.
void FrmMain::createControls()
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("Huvolo"));
    setFixedSize(clientArea.toPixels().size());

    xpcmdToggle = new xpcmdbutton(this);
    xpcmdToggle->setObjectName(QStringLiteral("xpcmdToggle"));
    // A bag that cannot be read is reported; the button then loads its defaults.
    PropertyBag toggleBag;
    hostGuard([&toggleBag] { toggleBag = readStoredBag(QStringLiteral(":/layouts/xpcmdtoggle.json")); });
    place(xpcmdToggle, xpcmdTogglePlace, [this] {
        return UserControl::AmbientProperties{QStringLiteral("xpcmdToggle"), toStdFont(font())};
    }, &toggleBag);

    txtHex = new TextBox(this);
    txtHex->setObjectName(QStringLiteral("txtHex"));
    txtHex->setGeometry(txtHexPlace.toPixels());
    pctColors = makePicture(this, "pctColors", embedded::colourWheel);
    pctSwatches = makePicture(this, "pctSwatches", embedded::swatchGrid);

    // What assistive technology calls them; the button is named by its caption.
    pctColors->setAccessibleName(QStringLiteral("Colour wheel"));
    pctSwatches->setAccessibleName(QStringLiteral("Colour swatches"));
    txtHex->setAccessibleName(QStringLiteral("Colour"));
}

void FrmMain::arrangeControls()
{
    // Z-order, stacked from the bottom: pctSwatches, pctColors, txtHex, xpcmdToggle.
    for (QWidget *control : {static_cast<QWidget *>(pctSwatches), static_cast<QWidget *>(pctColors),
                             static_cast<QWidget *>(txtHex), static_cast<QWidget *>(xpcmdToggle)})
        control->raise();
    // Tab order by tab index: pctColors 0, txtHex 1, pctSwatches 2, xpcmdToggle 3.
    setTabOrder(pctColors, txtHex);
    setTabOrder(txtHex, pctSwatches);
    setTabOrder(pctSwatches, xpcmdToggle);
    // The window opens with the focus on the first tab stop.
    pctColors->setFocus(Qt::OtherFocusReason);
}

void FrmMain::connectEvents()
{
    bindEvent(pctColors, &PictureBox::MouseMove, this, &FrmMain::pctColors_MouseMove);
    bindEvent(pctColors, &PictureBox::Click, this, &FrmMain::pctColors_Click);
    bindEvent(pctColors, &PictureBox::DblClick, this, &FrmMain::pctColors_DblClick);
    bindEvent(pctSwatches, &PictureBox::MouseMove, this, &FrmMain::pctSwatches_MouseMove);
    bindEvent(pctSwatches, &PictureBox::Click, this, &FrmMain::pctSwatches_Click);
    bindEvent(pctSwatches, &PictureBox::DblClick, this, &FrmMain::pctSwatches_DblClick);
    bindEvent(txtHex, &TextBox::GotFocus, this, &FrmMain::txtHex_GotFocus);
    bindEvent<UserControl>(xpcmdToggle, &UserControl::Click, this, &FrmMain::xpcmdToggle_Click);
}

// Added to the design, for a screen reader and the keyboard. Connected after
// the designed handlers, so what TOGGLE did is said once it is done.
void FrmMain::connectAssistance()
{
    // The colour the arrow keys reach is said (the latest of a run), and
    // what a click of TOGGLE did.
    pctSwatches->setKeyboardGrid(swatchGridArea, swatchGridSide, swatchGridSide);
    for (PictureBox *picture : {pctColors, pctSwatches})
        connect(picture, &PictureBox::keyboardPointerMoved, this, &FrmMain::announceSampledColour);
    connect(xpcmdToggle, &UserControl::Click, this, [this] {
        announce(pctColors->Visible() == -1 ? QStringLiteral("Colour wheel shown")
                                            : QStringLiteral("Colour swatches shown"));
    });

    // Tab skips the covered picture, and Alt+T clicks TOGGLE through its
    // access-key notification, as a keyboard click of the button always comes.
    keepFocusOffCoveredChildren(this);
    const QString toggleHint = QStringLiteral("Show or hide the colour wheel (Alt+T)");
    xpcmdToggle->setToolTip(toggleHint);
    xpcmdToggle->setAccessibleDescription(toggleHint);
    auto *accessKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_T), this);
    connect(accessKey, &QShortcut::activated, this, [this] {
        hostGuard([this] {
            qint16 KeyAscii = 't';
            xpcmdToggle->UserControl_AccessKeyPress(KeyAscii);
        });
    });
}

// The menu of the additions: over the pictures, and after the read-out's own
// entries; Shift+F10 opens it from the keyboard as the Menu key does. The
// menu asks for what the window shows or copies through its signals.
void FrmMain::createActions()
{
    m_actions = new ColourActions(this, QLatin1String(ApplicationId), QStringLiteral("huvolo"));
    connect(this, &FrmMain::copied, m_actions, &ColourActions::remember);
    connect(m_actions, &ColourActions::previewStarted, this, &FrmMain::keepReadOut);
    connect(m_actions, &ColourActions::previewRequested, this, &FrmMain::showColour);
    connect(m_actions, &ColourActions::restoreRequested, this, &FrmMain::restoreReadOut);
    connect(m_actions, &ColourActions::takeRequested, this, &FrmMain::takeColour);

    txtHex->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(txtHex, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        QMenu *menu = txtHex->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addSeparator();
        m_actions->fillMenu(menu, m_colour);
        menu->popup(txtHex->mapToGlobal(position));
    });
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this), &QShortcut::activated, this, [this] {
        if (QWidget *focus = focusWidget())
            openMenuAt(focus, focus->rect().center());
    });

    // Ctrl+W and Ctrl+Q close the window, which ends the program as the close box does.
    for (const QKeyCombination keys : {Qt::CTRL | Qt::Key_W, Qt::CTRL | Qt::Key_Q})
        connect(new QShortcut(QKeySequence(keys), this), &QShortcut::activated, this, &QWidget::close);
}

QPoint FrmMain::startPosition(const QRect &available, const QSize &window)
{
    // Centred where the window fits; on a smaller screen its top-left corner
    // stays on the screen, so the title bar and the read-out's start can be reached.
    const auto axis = [](int start, int room, int length) { return start + std::max(0, (room - length) / 2); };
    return QPoint(axis(available.left(), available.width(), window.width()),
                  axis(available.top(), available.height(), window.height()));
}

qint16 FrmMain::GetRGB(const double &RGBval, const qint16 &Num)
{
    if (Num <= 0 || Num >= 4 || !(RGBval > -1.0) || RGBval >= 16777216.0)
        return -1;
    const auto d = qint32(std::nearbyint(std::pow(256.0, Num - 1)));
    const auto v = qint32(std::nearbyint(RGBval));
    return qint16((v / d) & 255);
}

QString FrmMain::PadHex(QString text)
{
    if (text.size() == 1)
        return QLatin1Char('0') + text;
    return text;
}

void FrmMain::Form_Load()
{
    // Replaces the text box's whole extended style, dropping its sunken edge.
    const HWND hWnd = txtHex;
    SetWindowLongA(hWnd, GWL_EXSTYLE, WS_EX_TRANSPARENT);
}

void FrmMain::pctColors_MouseMove(qint16 &, qint16 &, float &X, float &Y)
{
    sample(pctColors, X, Y);
}

void FrmMain::pctSwatches_MouseMove(qint16 &, qint16 &, float &X, float &Y)
{
    sample(pctSwatches, X, Y);
}

void FrmMain::pctColors_Click()
{
    copyHexText();
}

void FrmMain::pctSwatches_Click()
{
    copyHexText();
}

void FrmMain::pctColors_DblClick()
{
    writeHexText();
}

void FrmMain::pctSwatches_DblClick()
{
    writeHexText();
}

void FrmMain::txtHex_GotFocus()
{
    txtHex->setSelStart(0);
    txtHex->setSelLength(qint32(txtHex->Text().size()));
}

void FrmMain::xpcmdToggle_Click()
{
    if (pctColors->Visible() == -1) {
        pctColors->setVisible(false);
        return;
    }
    if (pctColors->Visible() == 0)
        pctColors->setVisible(true);
}

void FrmMain::sample(const PictureBox *picture, float X, float Y)
{
    const double c = picture->Point(X, Y);
    if (c == -1)
        return;
    showSample(c);
}

void FrmMain::announceSampledColour()
{
    if (m_colour.isValid())
        announceLatest(m_colour.description());
}

void FrmMain::showSample(double c)
{
    m_Red = QString::number(GetRGB(c, 1));
    m_Green = QString::number(GetRGB(c, 2));
    m_Blue = QString::number(GetRGB(c, 3));
    const auto integer = [](const QString &decimal, const char *name) {
        return toInteger(toNumber(decimal, QLatin1String(name)), QLatin1String(name));
    };
    txtHex->setBackColor(OLE_COLOR(packColour(integer(m_Red, "m_Red"), integer(m_Green, "m_Green"),
                                                    integer(m_Blue, "m_Blue"))));
    txtHex->setText(hexText());
    m_colour = SampledColour::fromPacked(c);
    showReadOutTip();
}

// The read-out's tooltip gives the shown colour's hex and name; one open
// over the read-out follows the colour.
void FrmMain::showReadOutTip()
{
    const QString tip = m_colour.description();
    if (QToolTip::isVisible() && txtHex->underMouse() && QToolTip::text() == txtHex->toolTip())
        QToolTip::showText(QCursor::pos(), tip, txtHex);
    txtHex->setToolTip(tip);
}

void FrmMain::copyHexText()
{
    if (m_Red.isEmpty())
        return; // nothing sampled yet: the read-out and the clipboard stay as they are
    txtHex->setText(hexText());
    Clipboard::Clear();
    Clipboard::SetText(txtHex->Text());
    if (m_colour.isValid()) {
        announce(QStringLiteral("Copied ") + m_colour.description());
        emit copied(m_colour);
    }
}

void FrmMain::writeHexText()
{
    if (m_Red.isEmpty())
        return;
    txtHex->setText(hexText());
}

QString FrmMain::hexText() const
{
    const auto channel = [](const QString &decimal, const char *name) {
        return PadHex(hex(toLong(toNumber(decimal, QLatin1String(name)), QLatin1String(name))));
    };
    return QLatin1Char('#') + channel(m_Red, "m_Red") + channel(m_Green, "m_Green") + channel(m_Blue, "m_Blue");
}

void FrmMain::showColour(const SampledColour &colour)
{
    if (!colour.isValid())
        return;
    hostGuard([&] { showSample(colour.packed()); });
    announceSampledColour();
}

// A colour picked from the screen or chosen from the recent ones is shown
// as a sample is and copied as a click on a picture copies.
void FrmMain::takeColour(const SampledColour &colour)
{
    showColour(colour);
    hostGuard([this] { copyHexText(); });
}

void FrmMain::keepReadOut()
{
    m_keptReadOut = ReadOut{m_Red, m_Green, m_Blue, txtHex->Text(), txtHex->BackColor(), m_colour};
}

void FrmMain::restoreReadOut()
{
    if (!m_keptReadOut)
        return;
    const ReadOut kept = *std::exchange(m_keptReadOut, std::nullopt);
    m_Red = kept.red;
    m_Green = kept.green;
    m_Blue = kept.blue;
    m_colour = kept.colour;
    txtHex->setBackColor(kept.backColor);
    txtHex->setText(kept.text);
    showReadOutTip();
}

// The menu opens over the pictures and, added to its own, over the read-out;
// from the keyboard it opens where the focus is.
void FrmMain::contextMenuEvent(QContextMenuEvent *event)
{
    QWidget *target = event->reason() == QContextMenuEvent::Mouse ? childAt(event->pos()) : focusWidget();
    if (target != pctColors && target != pctSwatches) {
        event->ignore();
        return;
    }
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        const auto *picture = static_cast<PictureBox *>(target);
        at = picture->mapToGlobal(picture->innerArea().topLeft() + picture->keyboardPointer());
    }
    m_actions->showMenu(at, m_colour);
}

void FrmMain::openMenuAt(QWidget *widget, const QPoint &position)
{
    QContextMenuEvent event(QContextMenuEvent::Keyboard, position, widget->mapToGlobal(position));
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace huvolo
