// The help window, the About box, the file-open dialog's set-up, and how the
// windows close: one instance each, the close box, File > Exit.
#include <QAction>
#include <QColor>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "tests/ui/child.h"
#include "tests/ui/qtest_main.h"
#include "tests/ui/ui_fakes.h"
#include "ui/convert/form1.h"
#include "ui/desktop/file_dialog.h"
#include "ui/help/texts.h"

namespace korvexa {
namespace {

using testing::Child;

// Lets the windows closed with WA_DeleteOnClose be deleted.
void DeleteClosedWindows() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int VisibleWindowsNamed(const QString& name) {
  int count = 0;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->objectName() == name && window->isVisible()) ++count;
  }
  return count;
}

// The widgets that Tab visits from `start` until it comes back to it.
QList<QWidget*> TabCycle(QWidget* start) {
  start->setFocus();
  QList<QWidget*> cycle = {start};
  for (int step = 0; step < 10; ++step) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    if (QApplication::focusWidget() == start) break;
    cycle.append(QApplication::focusWidget());
  }
  return cycle;
}

QStringList Lines(const QString& text) {
  return text.split(QLatin1Char('\n'));
}

}  // namespace

class WindowsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init();
  void cleanup();

  void openDialogTitleAndFilters();
  void lxFilterIgnoresLetterCase();

  void helpWindowOpensOnceAndAfreshAfterClosing();
  void helpWindowLayoutAndFocus();
  void helpTextKeepsItsFixedLines_data();
  void helpTextKeepsItsFixedLines();
  void helpWindowEnterTypesAndEscCloses_data();
  void helpWindowEnterTypesAndEscCloses();
  void textBoxesOpenAtTheTopWithTheirScrollBarThere();

  void aboutBoxOpensOnceAndAfreshAfterClosing();
  void aboutBoxCaptionsAndTexts();
  void aboutBoxLayoutAndFocus();
  void aboutBoxKeys_data();
  void aboutBoxKeys();

  void closeBoxClosesOnlyTheMainWindow();
  void exitClosesEveryWindowAndEndsTheProgram();

 private:
  Form1& MakeWindow();

  std::unique_ptr<testing::FakePlatform> fakes_;
  std::unique_ptr<Form1> window_;
};

void WindowsTest::init() {
  fakes_ = std::make_unique<testing::FakePlatform>();
}

void WindowsTest::cleanup() {
  window_.reset();
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible()) window->close();
  }
  DeleteClosedWindows();
}

Form1& WindowsTest::MakeWindow() {
  window_ = std::make_unique<Form1>(testing::FakeServices(nullptr), fakes_->Platform());
  window_->show();
  return *window_;
}

void WindowsTest::openDialogTitleAndFilters() {
  QFileDialog dialog;
  PrepareLxFileDialog(dialog);
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Select a .LX file load"));
  QCOMPARE(dialog.nameFilters(),
           (QStringList{QStringLiteral("All Files (*.*)"), QStringLiteral("LX Files (*.lx)"),
                        QStringLiteral("PLSS data sets (*.zip *.gdbtable *.shp *.gpkg)")}));
  QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("LX Files (*.lx)"));
  QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
  QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
  QCOMPARE(dialog.directory().absolutePath(), QDir::currentPath());
}

void WindowsTest::lxFilterIgnoresLetterCase() {
  QTemporaryDir folder;
  for (const char* name : {"a.lx", "B.LX", "c.Lx", "d.txt"}) {
    QFile file(folder.filePath(QLatin1String(name)));
    QVERIFY(file.open(QIODevice::WriteOnly));
  }
  QFileDialog dialog;
  PrepareLxFileDialog(dialog);
  dialog.setDirectory(folder.path());
  dialog.show();
  auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
  QVERIFY(view != nullptr);
  const auto shown = [view] {
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
      names << view->model()->index(row, 0, view->rootIndex()).data().toString();
    }
    names.sort();
    return names;
  };
  QTRY_COMPARE(shown(), (QStringList{QStringLiteral("B.LX"), QStringLiteral("a.lx"), QStringLiteral("c.Lx")}));
}

void WindowsTest::helpWindowOpensOnceAndAfreshAfterClosing() {
  Form1& window = MakeWindow();
  Child<QAction>(window, "mnuHelpPellanore")->trigger();
  QPointer<Form2> first = window.helpWindow();
  QVERIFY(first != nullptr);
  Child<QPlainTextEdit>(*first, "Text1")->setPlainText(QStringLiteral("typed by the user"));
  Child<QAction>(window, "mnuHelpPellanore")->trigger();
  QCOMPARE(window.helpWindow(), first.data());
  QCOMPARE(VisibleWindowsNamed(QStringLiteral("Form2")), 1);

  QTest::mouseClick(Child<QPushButton>(*first, "Command1"), Qt::LeftButton);
  DeleteClosedWindows();
  QVERIFY(first.isNull());
  QVERIFY(window.isVisible());
  Child<QAction>(window, "mnuHelpPellanore")->trigger();
  QVERIFY(window.helpWindow() != nullptr);
  QCOMPARE(Child<QPlainTextEdit>(*window.helpWindow(), "Text1")->toPlainText(), texts::HelpText());
  QCOMPARE(VisibleWindowsNamed(QStringLiteral("Form2")), 1);
}

void WindowsTest::helpWindowLayoutAndFocus() {
  Form1& window = MakeWindow();
  Child<QAction>(window, "mnuHelpPellanore")->trigger();
  Form2* help = window.helpWindow();
  QVERIFY(QTest::qWaitForWindowActive(help));
  QCOMPARE(help->windowTitle(), QStringLiteral("Pellanore "));
  QCOMPARE(help->size(), QSize(972, 480));
  auto* text = Child<QPlainTextEdit>(*help, "Text1");
  auto* ok = Child<QPushButton>(*help, "Command1");
  QCOMPARE(text->geometry(), QRect(8, 8, 953, 417));
  QCOMPARE(ok->geometry(), QRect(408, 432, 97, 33));
  QCOMPARE(ok->text(), QStringLiteral("Ok"));
  QCOMPARE(help->focusWidget(), text);
  QCOMPARE(TabCycle(text), (QList<QWidget*>{text, ok}));
  QVERIFY(!text->isReadOnly());
  QCOMPARE(text->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  QCOMPARE(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  QVERIFY(help->parentWidget() == nullptr);
}

// The lines the help text quotes exactly, by their line number (0-based).
void WindowsTest::helpTextKeepsItsFixedLines_data() {
  QTest::addColumn<int>("line");
  QTest::addColumn<QString>("start");
  QTest::newRow("title") << 0 << "Pellanore  (1.0)  FAQ:";
  QTest::newRow("empty line after the title") << 1 << "";
  QTest::newRow("1 where") << 2 << "\"Where do I get a .LX file?\" -- ";
  QTest::newRow("2 zip") << 4
                         << "\"My file from geocommunicator is something like \"gcdb1097613133591.zip\", how do I "
                            "use it?\" -- ";
  QTest::newRow("3 which") << 6 << "\"How do I know which point(s) to process?\" -- ";
  QTest::newRow("4 select") << 9 << "\"How do I select the points to process?\" -- ";
  QTest::newRow("5 heading") << 11 << "A few possiblible choices for interfacing with Garmin GPS:";
  QTest::newRow("6 datum right after the heading") << 12 << "\"Source Datum?\" -- ";
  QTest::newRow("7 format") << 15 << "\"GARMIN data format?\" -- ";
  QTest::newRow("8 rerun") << 17 << "\"What if I rerun the program?\" -- ";
  QTest::newRow("9 load") << 20 << "\"How do I load the file into my GPS?\" -- ";
  QTest::newRow("10 heading") << 22 << "A few choices for connection to GARMIN GPS:";
  QTest::newRow("TopoGrafix") << 23 << "TopoGrafix";
  QTest::newRow("OziExplorer") << 24 << "OziExplorer";
  QTest::newRow("GPS Trackmaker") << 25 << "GPS Trackmaker";
  QTest::newRow("Garmin Mapsource") << 26 << "Garmin Mapsource";
  QTest::newRow("Delorme, the last of the list") << 27 << "Delorme \"Xmap\"     .... and many others";
  QTest::newRow("empty line after the list") << 28 << "";
}

void WindowsTest::helpTextKeepsItsFixedLines() {
  QFETCH(int, line);
  QFETCH(QString, start);
  const QStringList lines = Lines(texts::HelpText());
  QVERIFY(lines.last().isEmpty());  // the text ends with a line end
  QVERIFY2(lines.at(line).startsWith(start), qPrintable(lines.at(line)));
  if (start.isEmpty() || !start.endsWith(QLatin1String("-- "))) QCOMPARE(lines.at(line), start);
  QVERIFY(!lines.at(line).contains(QLatin1String("Korvexa")));
}

// Enter in the text starts a new line; Esc closes the window wherever the
// focus is.
void WindowsTest::helpWindowEnterTypesAndEscCloses_data() {
  QTest::addColumn<QString>("focus");
  QTest::newRow("in the text") << "Text1";
  QTest::newRow("on Ok") << "Command1";
}

void WindowsTest::helpWindowEnterTypesAndEscCloses() {
  QFETCH(QString, focus);
  Form1& window = MakeWindow();
  Child<QAction>(window, "mnuHelpPellanore")->trigger();
  QPointer<Form2> help = window.helpWindow();
  QVERIFY(QTest::qWaitForWindowActive(help));
  auto* text = Child<QPlainTextEdit>(*help, "Text1");
  const int lines = text->document()->blockCount();
  QTest::keyClick(text, Qt::Key_Return);
  QCOMPARE(text->document()->blockCount(), lines + 1);
  QVERIFY(help->isVisible());
  auto* target = Child<QWidget>(*help, qPrintable(focus));
  target->setFocus();
  QTest::keyClick(target, Qt::Key_Escape);
  DeleteClosedWindows();
  QVERIFY(help.isNull());
  QVERIFY(window.isVisible());
}

// Where a scroll bar looks darkest, as the user sees it: "top" or "bottom".
static QString DarkerEnd(QScrollBar* bar) {
  const QImage image = bar->grab().toImage();
  auto lightness = [&](int fromRow, int toRow) {
    double sum = 0;
    for (int y = fromRow; y < toRow; ++y) {
      for (int x = 0; x < image.width(); ++x) sum += QColor(image.pixel(x, y)).lightnessF();
    }
    return sum / ((toRow - fromRow) * image.width());
  };
  const int third = image.height() / 3;
  return lightness(0, third) < lightness(image.height() - third, image.height()) ? QStringLiteral("top")
                                                                                 : QStringLiteral("bottom");
}

// The handle of a text's scroll bar shows where the text is: at the top when
// the window opens, at the bottom once the end is shown.
void WindowsTest::textBoxesOpenAtTheTopWithTheirScrollBarThere() {
  Form1& window = MakeWindow();
  Child<QAction>(window, "mnuHelpPellanore")->trigger();
  Child<QAction>(window, "mnuHelpAbout")->trigger();
  for (QPlainTextEdit* text :
       {Child<QPlainTextEdit>(*window.helpWindow(), "Text1"), Child<QPlainTextEdit>(*window.aboutBox(), "Text1")}) {
    QVERIFY(QTest::qWaitForWindowExposed(text->window()));
    QScrollBar* bar = text->verticalScrollBar();
    QVERIFY2(bar->maximum() > 0, "the text fits: nothing to scroll");
    QCOMPARE(text->cursorForPosition(QPoint(4, 4)).blockNumber(), 0);
    QCOMPARE(bar->value(), bar->minimum());
    QCOMPARE(DarkerEnd(bar), QStringLiteral("top"));
    bar->setValue(bar->maximum());
    QCOMPARE(DarkerEnd(bar), QStringLiteral("bottom"));
  }
}

void WindowsTest::aboutBoxOpensOnceAndAfreshAfterClosing() {
  Form1& window = MakeWindow();
  Child<QAction>(window, "mnuHelpAbout")->trigger();
  QPointer<frmAbout> first = window.aboutBox();
  QVERIFY(first != nullptr);
  Child<QAction>(window, "mnuHelpAbout")->trigger();
  QCOMPARE(window.aboutBox(), first.data());
  QCOMPARE(VisibleWindowsNamed(QStringLiteral("frmAbout")), 1);
  QVERIFY(first->parentWidget() == nullptr);

  QTest::mouseClick(Child<QPushButton>(*first, "cmdOK"), Qt::LeftButton);
  DeleteClosedWindows();
  QVERIFY(first.isNull());
  Child<QAction>(window, "mnuHelpAbout")->trigger();
  QVERIFY(window.aboutBox() != nullptr);
  QCOMPARE(VisibleWindowsNamed(QStringLiteral("frmAbout")), 1);
}

void WindowsTest::aboutBoxCaptionsAndTexts() {
  Form1& window = MakeWindow();
  Child<QAction>(window, "mnuHelpAbout")->trigger();
  frmAbout* about = window.aboutBox();
  QCOMPARE(about->windowTitle(), QStringLiteral("About Korvexa"));
  QCOMPARE(Child<QLabel>(*about, "lblTitle")->text(), QStringLiteral("Korvexa"));
  QCOMPARE(Child<QLabel>(*about, "lblVersion")->text(), QStringLiteral("Version 1.0.0"));
  QCOMPARE(Child<QPushButton>(*about, "cmdOK")->text(), QStringLiteral("OK"));
  QCOMPARE(Child<QPushButton>(*about, "cmdSysInfo")->text(), QStringLiteral("&System Info..."));
  QCOMPARE(Child<QLabel>(*about, "lblDescription")->text(),
           QStringLiteral("Korvexa was written to facilitate the use of GCDB Flat Files downloaded from the BLM's "
                          "GeoCommunicator website (https://navigator.blm.gov).    Specifically, this software "
                          "transforms a GCDB .LX file to a format suitable for upload to a Garmin GPS receiver.  "
                          "Optional capabilities include the ability to perform a datum transformation and produce "
                          "a CAD readable .dxf file."));
  const QStringList disclaimer = Lines(Child<QPlainTextEdit>(*about, "Text1")->toPlainText());
  QCOMPARE(disclaimer.size(), 22);  // 21 lines, each ended
  QVERIFY(disclaimer.last().isEmpty());
  QVERIFY(disclaimer.at(13).isEmpty());
  for (int line = 0; line < 13; ++line) QCOMPARE(disclaimer.at(line), disclaimer.at(line).toUpper());
  QVERIFY(disclaimer.join(QLatin1Char(' ')).contains(QLatin1String("todos")));
  QVERIFY(disclaimer.join(QLatin1Char(' ')).contains(QLatin1String("lx2dxf")));
  QVERIFY(!Child<QLabel>(*about, "picIcon")->pixmap().isNull());
  QCOMPARE(Child<QLabel>(*about, "picIcon")->pixmap().size(), QSize(32, 32));
}

void WindowsTest::aboutBoxLayoutAndFocus() {
  Form1& window = MakeWindow();
  Child<QAction>(window, "mnuHelpAbout")->trigger();
  frmAbout* about = window.aboutBox();
  QVERIFY(QTest::qWaitForWindowActive(about));
  QCOMPARE(about->geometry(), QRect(156, 129, 400, 458));
  QCOMPARE(about->minimumSize(), about->maximumSize());
  QCOMPARE(Child<QPushButton>(*about, "cmdOK")->geometry(), QRect(288, 392, 84, 23));
  QCOMPARE(Child<QLabel>(*about, "picIcon")->geometry(), QRect(16, 16, 36, 36));
  QCOMPARE(Child<QPushButton>(*about, "cmdSysInfo")->geometry(), QRect(288, 424, 83, 23));
  QCOMPARE(Child<QLabel>(*about, "lblDescription")->geometry(), QRect(14, 75, 363, 78));
  QCOMPARE(Child<QLabel>(*about, "lblTitle")->geometry(), QRect(70, 16, 259, 32));
  QCOMPARE(Child<QLabel>(*about, "lblVersion")->geometry(), QRect(72, 52, 259, 15));
  QCOMPARE(Child<QPlainTextEdit>(*about, "Text1")->geometry(), QRect(8, 184, 369, 201));
  QCOMPARE(Child<QFrame>(*about, "Line1")->frameShape(), QFrame::HLine);
  QCOMPARE(Child<QFrame>(*about, "Line1")->frameShadow(), QFrame::Sunken);
  QVERIFY(Child<QLabel>(*about, "lblTitle")->font().bold());
  QCOMPARE(Child<QLabel>(*about, "lblTitle")->font().pointSizeF(), 12.0);
  auto* ok = Child<QPushButton>(*about, "cmdOK");
  QVERIFY(ok->isDefault());
  QCOMPARE(about->focusWidget(), ok);
  QCOMPARE(TabCycle(ok),
           (QList<QWidget*>{ok, Child<QPushButton>(*about, "cmdSysInfo"), Child<QPlainTextEdit>(*about, "Text1")}));
}

void WindowsTest::aboutBoxKeys_data() {
  QTest::addColumn<QString>("focus");
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("modifiers");
  QTest::addColumn<bool>("closes");
  QTest::addColumn<int>("messages");  // System Info says it is unavailable
  QTest::newRow("Enter on OK") << "cmdOK" << int(Qt::Key_Return) << 0 << true << 0;
  QTest::newRow("Esc on OK") << "cmdOK" << int(Qt::Key_Escape) << 0 << true << 0;
  QTest::newRow("Enter in the disclaimer") << "Text1" << int(Qt::Key_Return) << 0 << true << 0;
  QTest::newRow("keypad Enter in the disclaimer") << "Text1" << int(Qt::Key_Enter) << 0 << true << 0;
  QTest::newRow("Esc in the disclaimer") << "Text1" << int(Qt::Key_Escape) << 0 << true << 0;
  QTest::newRow("Ctrl+Enter types a new line")
      << "Text1" << int(Qt::Key_Return) << int(Qt::ControlModifier) << false << 0;
  QTest::newRow("Enter on System Info presses it") << "cmdSysInfo" << int(Qt::Key_Return) << 0 << false << 1;
  QTest::newRow("Esc on System Info") << "cmdSysInfo" << int(Qt::Key_Escape) << 0 << true << 0;
}

void WindowsTest::aboutBoxKeys() {
  QFETCH(QString, focus);
  QFETCH(int, key);
  QFETCH(int, modifiers);
  QFETCH(bool, closes);
  QFETCH(int, messages);
  Form1& window = MakeWindow();
  Child<QAction>(window, "mnuHelpAbout")->trigger();
  QPointer<frmAbout> about = window.aboutBox();
  QVERIFY(QTest::qWaitForWindowActive(about));
  auto* target = about->findChild<QWidget*>(focus);
  QVERIFY(target != nullptr);
  target->setFocus();
  const int lines = Child<QPlainTextEdit>(*about, "Text1")->document()->blockCount();
  QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
  DeleteClosedWindows();
  QCOMPARE(about.isNull(), closes);
  QCOMPARE(int(fakes_->sink->messages.size()), messages);
  if (!closes && focus == QLatin1String("Text1"))
    QCOMPARE(Child<QPlainTextEdit>(*about, "Text1")->document()->blockCount(), lines + 1);
  if (messages > 0) {
    const testing::Message& message = fakes_->sink->messages.front();
    QCOMPARE(message.kind, MessageKind::Plain);
    QCOMPARE(message.title, QStringLiteral("Korvexa"));
    QCOMPARE(message.text, QStringLiteral("System Information Is Unavailable At This Time"));
  }
}

namespace {

// Runs the program's event loop until it ends by itself, with `steps`
// played one after another; returns its exit code, or 99 when the program
// is still running 10 s after the last step.
int RunProgram(const std::vector<std::function<void()>>& steps) {
  QObject context;
  int delay = 0;
  for (const auto& step : steps) QTimer::singleShot(delay += 50, &context, step);
  QTimer::singleShot(delay + 10000, &context, [] { QCoreApplication::exit(99); });
  return QApplication::exec();
}

}  // namespace

void WindowsTest::closeBoxClosesOnlyTheMainWindow() {
  Form1& window = MakeWindow();
  Child<QAction>(window, "mnuHelpPellanore")->trigger();
  Child<QAction>(window, "mnuHelpAbout")->trigger();
  QPointer<Form2> help = window.helpWindow();
  QPointer<frmAbout> about = window.aboutBox();
  QStringList seen;
  const int exitCode = RunProgram({
      [&] { window.close(); },
      [&] {
        seen << QStringLiteral("help %1").arg(help && help->isVisible());
        help->close();
      },
      [&] {
        seen << QStringLiteral("about %1").arg(about && about->isVisible());
        about->close();
      },
  });
  QCOMPARE(exitCode, 0);
  QCOMPARE(seen, (QStringList{"help 1", "about 1"}));  // the program ran on until its last window closed
}

void WindowsTest::exitClosesEveryWindowAndEndsTheProgram() {
  Form1& window = MakeWindow();
  Child<QAction>(window, "mnuHelpPellanore")->trigger();
  Child<QAction>(window, "mnuHelpAbout")->trigger();
  QPointer<Form2> help = window.helpWindow();
  QPointer<frmAbout> about = window.aboutBox();
  QCOMPARE(RunProgram({[&] { Child<QAction>(window, "mnuFileExit")->trigger(); }}), 0);
  DeleteClosedWindows();
  QVERIFY(!window.isVisible());
  QVERIFY(help.isNull());
  QVERIFY(about.isNull());
}

}  // namespace korvexa

KORVEXA_QTEST_MAIN(korvexa::WindowsTest)
#include "windows_test.moc"
