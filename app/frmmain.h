#pragma once

#include "sampledcolour.h"

#include <Huvolo/colour.h>

#include <QWidget>

#include <optional>

namespace huvolo {

class ColourActions;
class PictureBox;
class TextBox;
class xpcmdbutton;

// The colour picker's window: the colour wheel over the swatch grid, the hex
// read-out below them, and the TOGGLE button on the pictures' corner. The
// pixel under the pointer is previewed in the read-out; a click copies it.
class FrmMain : public QWidget
{
    Q_OBJECT

public:
    explicit FrmMain(QWidget *parent = nullptr);

    // Where the window opens on a screen whose free area is `available`.
    static QPoint startPosition(const QRect &available, const QSize &window);

    // One channel (1 red, 2 green, 3 blue) of a packed colour 0x00BBGGRR,
    // or -1 for a channel number or colour value out of range.
    static qint16 GetRGB(const double &RGBval, const qint16 &Num);
    // A one-character hex text gets a leading "0"; any other is unchanged.
    static QString PadHex(QString text);

    // Additions to the design, for the menu and the screen picker.
    //
    // The colour of the last sample; not valid before the first.
    const SampledColour &sampledColour() const { return m_colour; }
    // Shows a colour in the read-out and keeps it, exactly as a sample does.
    void showColour(const SampledColour &colour);
    // Keeps what the read-out shows, and puts it back: a pick from the
    // screen that is given up leaves the read-out as it was.
    void keepReadOut();
    void restoreReadOut();

    ColourActions *colourActions() const { return m_actions; }

signals:
    // A colour was copied by a click, a pick or a recent colour chosen.
    void copied(const SampledColour &colour);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void createControls();
    void arrangeControls();
    void connectEvents();
    void connectAssistance();
    void createActions();

    void Form_Load();
    void pctColors_MouseMove(qint16 &Button, qint16 &Shift, float &X, float &Y);
    void pctSwatches_MouseMove(qint16 &Button, qint16 &Shift, float &X, float &Y);
    void pctColors_Click();
    void pctSwatches_Click();
    void pctColors_DblClick();
    void pctSwatches_DblClick();
    void txtHex_GotFocus();
    void xpcmdToggle_Click();

    void sample(const PictureBox *picture, float X, float Y);
    void announceSampledColour();
    void showSample(double c);
    void showReadOutTip();
    void openMenuAt(QWidget *widget, const QPoint &position);
    void copyHexText();
    void writeHexText();
    QString hexText() const;
    void takeColour(const SampledColour &colour);

    xpcmdbutton *xpcmdToggle = nullptr;
    TextBox *txtHex = nullptr;
    PictureBox *pctColors = nullptr;
    PictureBox *pctSwatches = nullptr;
    ColourActions *m_actions = nullptr;

    // Decimal text of the last sampled colour's channels; empty until then.
    QString m_Red;
    QString m_Green;
    QString m_Blue;

    // The same sample as the additions see it, set beside the channel strings.
    SampledColour m_colour;
    // What the read-out showed when a pick from the screen began.
    struct ReadOut
    {
        QString red, green, blue;
        QString text;
        OLE_COLOR backColor;
        SampledColour colour;
    };
    std::optional<ReadOut> m_keptReadOut;
};

} // namespace huvolo
