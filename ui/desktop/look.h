// How the windows are measured, lettered, marked and named: positions given
// in twips, the fixed-pitch list font, the dialog font, the program's icon,
// the labels and actions, and the object names by which the tests find them.
#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QString>

class QAbstractScrollArea;
class QAction;
class QLabel;
class QObject;
class QWidget;

namespace korvexa {

// 1440 twips make one inch; at 96 dots per inch 15 twips make one pixel.
inline constexpr int kTwipsPerPixel = 15;

// Twips to whole pixels, rounded to the nearest pixel.
constexpr int Pixels(int twips) {
  return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// A rectangle given in twips (left, top, width, height), in pixels.
constexpr QRect Twips(int left, int top, int width, int height) {
  return QRect(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
}

// "Courier New" 8.25 pt; fontconfig gives its metric twin Liberation Mono
// where Courier New itself is not installed.
QFont FixedPitchFont();

// "MS Sans Serif" at `points`, bold or regular: the font the fixed control
// sizes were made for. Where it is not installed, Liberation Sans (Arial's
// widths, close to its own) keeps the captions inside their controls; the
// platform's own sans-serif font comes last.
QFont DialogFont(double points, bool bold);

// The regular size of the windows' text.
inline constexpr double kDialogPoints = 8.25;

// The program's icon, in all its sizes.
QIcon AppIcon();

// The 32 x 32 pixel image of the icon.
QPixmap AppIconImage();

// `object` under the object name `name`.
template <typename Object>
Object* Named(Object* object, const char* name) {
  object->setObjectName(QLatin1String(name));
  return object;
}

// An action of `parent` named `name`, with `tip` as its tooltip.
QAction* MakeAction(QObject* parent, const QString& text, const char* name, const QString& tip = {});

// A label named `name` on `parent` at `geometry`: plain text, top left.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry);

// Gives `text`'s vertical scroll bar a handle darker than its groove. With
// the platform's plain palette the handle is as light as the text beside it
// and the groove darker, so that a long handle at the top reads as a short
// one at the bottom: the scroll bar seems to run backwards.
void MarkScrollBarHandle(QAbstractScrollArea* text);

}  // namespace korvexa
