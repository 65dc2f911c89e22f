// The main window: start state, layout, File > Open through a scripted
// dialog, the selection buttons and Create end to end.
#include "ui/convert/form1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <memory>

#include "app/system_services.h"
#include "core/korvexa_error.h"
#include "fixtures/synthetic_township.h"
#include "tests/support/golden.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/child.h"
#include "tests/ui/qtest_main.h"
#include "tests/ui/ui_fakes.h"
#include "ui/convert/point_list_model.h"
#include "ui/help/texts.h"

namespace korvexa {
namespace {

using testing::Child;
using testing::FakePlatform;
using testing::Journal;
using testing::TempFolder;

QString Text(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

QList<bool> Ticks(const Form1& window) {
  QList<bool> ticks;
  for (const PointEntry& entry : window.points()->points()) ticks.append(entry.ticked);
  return ticks;
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init();
  void cleanup();

  void startState();
  void controlsKeepTheirPlaces_data();
  void controlsKeepTheirPlaces();
  void fontsAndCaptions();
  void captionsFitTheirControls();
  void menus();
  void tabOrder();
  void optionButtonsFormOneGroup();

  void openFillsTheSortedList();
  void openShowsProgressAndMakesTheFolderCurrent();
  void aFileThatIsNoLxFileIsRefusedUntouched_data();
  void aFileThatIsNoLxFileIsRefusedUntouched();
  void secondOpenReplacesListAndTitle();
  void cancelledOpenKeepsEverything();
  void unreadableFileIsReportedAndChangesNothing();
  void loadFileOpensWithoutTheDialog();
  void droppedFileOpensLikeOpen();

  void selectAllAndNoneReachRowsOutOfView();

  void createWritesThePcx5FileBesideTheInput();
  void createWithTheTickBoxesTransformsAndDraws();
  void createWithTheStartOptions();
  void firstDefaultCreateWithTheSystemServices();
  void createWithNothingTickedKeepsTheEarlierFile();
  void createFailureIsShownAndNothingWritten_data();
  void createFailureIsShownAndNothingWritten();
  void aFailedDrawingIsReportedAfterTheWaypointFile();
  void theStatusLineShowsTheWholeInstruction();

 private:
  Form1& MakeWindow(Services services);
  std::filesystem::path CopyFixture(const std::string& name);
  void Open(const std::filesystem::path& file);
  void ChooseUnticked(bool pcx5);

  QString home_ = QDir::currentPath();
  std::unique_ptr<TempFolder> folder_;
  std::unique_ptr<FakePlatform> fakes_;
  std::unique_ptr<Journal> journal_;
  std::unique_ptr<Form1> window_;
};

void Form1Test::init() {
  folder_ = std::make_unique<TempFolder>();
  fakes_ = std::make_unique<FakePlatform>();
  journal_ = std::make_unique<Journal>();
}

void Form1Test::cleanup() {
  window_.reset();
  QDir::setCurrent(home_);
  folder_.reset();
}

Form1& Form1Test::MakeWindow(Services services) {
  window_ = std::make_unique<Form1>(std::move(services), fakes_->Platform());
  window_->show();
  if (!QTest::qWaitForWindowExposed(window_.get())) qWarning("the main window was not exposed");
  return *window_;
}

std::filesystem::path Form1Test::CopyFixture(const std::string& name) {
  std::filesystem::copy_file(testing::TestData("t12n.lx"), folder_->path() / name);
  return folder_->path() / name;
}

void Form1Test::Open(const std::filesystem::path& file) {
  fakes_->dialog->Answer(Text(file));
  Child<QAction>(*window_, "mnuFileOpen")->trigger();
}

// PCX5 or GPX, neither transformation nor drawing.
void Form1Test::ChooseUnticked(bool pcx5) {
  (pcx5 ? Child<QRadioButton>(*window_, "Option1") : Child<QRadioButton>(*window_, "Option2"))->click();
  Child<QCheckBox>(*window_, "Check1")->setChecked(false);
  Child<QCheckBox>(*window_, "Check2")->setChecked(false);
}

void Form1Test::startState() {
  Form1& window = MakeWindow(testing::FakeServices(nullptr));
  QCOMPARE(window.windowTitle(), QStringLiteral("Korvexa"));
  QCOMPARE(Child<QListView>(window, "List1")->model()->rowCount(), 0);
  QVERIFY(Child<QListView>(window, "List1")->isEnabled());
  QCOMPARE(Child<QLabel>(window, "Label2")->text(), QStringLiteral("Select a GCDB .LX file to process"));
  QVERIFY(Child<QLabel>(window, "Label2")->isVisible());
  QVERIFY(Child<QLabel>(window, "Label3")->isHidden());
  for (QWidget* control :
       std::initializer_list<QWidget*>{Child<QPushButton>(window, "Command1"), Child<QPushButton>(window, "Command2"),
                                       Child<QPushButton>(window, "Command3"), Child<QCheckBox>(window, "Check1"),
                                       Child<QCheckBox>(window, "Check2")}) {
    QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
  }
  QCOMPARE(Child<QCheckBox>(window, "Check1")->checkState(), Qt::Checked);
  QCOMPARE(Child<QCheckBox>(window, "Check2")->checkState(), Qt::Checked);
  QVERIFY(Child<QRadioButton>(window, "Option2")->isChecked());
  QVERIFY(!Child<QRadioButton>(window, "Option1")->isChecked());
  QVERIFY(Child<QRadioButton>(window, "Option1")->isEnabled() && Child<QRadioButton>(window, "Option2")->isEnabled());
  QVERIFY(window.fName().empty());
  QVERIFY(!window.windowIcon().isNull());
}

// Positions and sizes in pixels of the client area (twips / 15).
void Form1Test::controlsKeepTheirPlaces_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("geometry");
  QTest::newRow("List1") << "List1" << QRect(8, 48, 633, 292);
  QTest::newRow("Command1") << "Command1" << QRect(8, 352, 73, 33);
  QTest::newRow("Command2") << "Command2" << QRect(80, 352, 73, 33);
  QTest::newRow("Command3") << "Command3" << QRect(528, 352, 113, 41);
  QTest::newRow("Check1") << "Check1" << QRect(176, 360, 169, 25);
  QTest::newRow("Check2") << "Check2" << QRect(352, 352, 169, 41);
  QTest::newRow("Label2") << "Label2" << QRect(16, 432, 617, 66);
  QTest::newRow("Label3") << "Label3" << QRect(8, 16, 633, 25);
  QTest::newRow("Option1") << "Option1" << QRect(176, 392, 153, 17);
  QTest::newRow("Option2") << "Option2" << QRect(352, 384, 121, 33);
}

void Form1Test::controlsKeepTheirPlaces() {
  QFETCH(QString, name);
  QFETCH(QRect, geometry);
  Form1& window = MakeWindow(testing::FakeServices(nullptr));
  QCOMPARE(window.centralWidget()->size(), QSize(653, 498));
  auto* control = window.centralWidget()->findChild<QWidget*>(name);
  QVERIFY(control != nullptr);
  QCOMPARE(control->geometry(), geometry);
  window.showMaximized();
  window.resize(900, 700);
  QCOMPARE(control->geometry(), geometry);
}

void Form1Test::fontsAndCaptions() {
  Form1& window = MakeWindow(testing::FakeServices(nullptr));
  for (QWidget* fixed :
       std::initializer_list<QWidget*>{Child<QListView>(window, "List1"), Child<QLabel>(window, "Label3")}) {
    QVERIFY(QFontInfo(fixed->font()).fixedPitch());
    QCOMPARE(fixed->font().pointSizeF(), 8.25);
  }
  QVERIFY(Child<QLabel>(window, "Label2")->font().bold());
  QCOMPARE(Child<QLabel>(window, "Label2")->font().pointSizeF(), 9.75);
  QCOMPARE(Child<QCheckBox>(window, "Check2")->text(), QStringLiteral("Create  .dxf for CAD"));
  QCOMPARE(Child<QLabel>(window, "Label3")->text().size(), 75);
  QCOMPARE(Child<QLabel>(window, "Label3")->text(),
           QStringLiteral(" PointID   Latitude   Longitude     Elev.   Reliability    LineCodes    UTM"));
}

// The fixed control sizes were made for a narrow dialog font.
void Form1Test::captionsFitTheirControls() {
  Form1& window = MakeWindow(testing::FakeServices(nullptr));
  for (QAbstractButton* choice : std::initializer_list<QAbstractButton*>{
           Child<QCheckBox>(window, "Check1"), Child<QCheckBox>(window, "Check2"),
           Child<QRadioButton>(window, "Option1"), Child<QRadioButton>(window, "Option2")}) {
    QVERIFY2(choice->sizeHint().width() <= choice->width(), qPrintable(choice->text()));
  }
  for (QPushButton* button : {Child<QPushButton>(window, "Command1"), Child<QPushButton>(window, "Command2"),
                              Child<QPushButton>(window, "Command3")}) {
    const int margins = 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
    QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + margins <= button->width(),
             qPrintable(button->text()));
  }
}

void Form1Test::menus() {
  Form1& window = MakeWindow(testing::FakeServices(nullptr));
  QCOMPARE(Child<QMenu>(window, "mnuFile")->title(), QStringLiteral("&File"));
  QCOMPARE(Child<QMenu>(window, "mnuHelp")->title(), QStringLiteral("&Help"));
  QCOMPARE(Child<QMenu>(window, "mnuFile")->objectName(), QStringLiteral("mnuFile"));
  const QList<QAction*> file = Child<QMenu>(window, "mnuFile")->actions();
  const QList<QAction*> help = Child<QMenu>(window, "mnuHelp")->actions();
  QCOMPARE(file, (QList<QAction*>{Child<QAction>(window, "mnuFileOpen"), Child<QAction>(window, "mnuFileSaveAs"),
                                  Child<QMenu>(window, "mnuFileExport")->menuAction(),
                                  Child<QAction>(window, "mnuFileExit")}));
  QCOMPARE(help, (QList<QAction*>{Child<QAction>(window, "mnuHelpPellanore"), Child<QAction>(window, "mnuHelpAbout")}));
  QCOMPARE(Child<QAction>(window, "mnuFileOpen")->text(), QStringLiteral("&Open"));
  QCOMPARE(Child<QAction>(window, "mnuFileExit")->text(), QStringLiteral("E&xit"));
  QCOMPARE(Child<QAction>(window, "mnuHelpPellanore")->text(), QStringLiteral("Pellanore Help"));
  QCOMPARE(Child<QAction>(window, "mnuHelpAbout")->text(), QStringLiteral("About"));
  for (QAction* item : {Child<QAction>(window, "mnuFileOpen"), Child<QAction>(window, "mnuFileExit"),
                        Child<QAction>(window, "mnuHelpPellanore"), Child<QAction>(window, "mnuHelpAbout")}) {
    QVERIFY(item->isEnabled() && item->isVisible() && !item->isSeparator());
  }
  QVERIFY(!Child<QAction>(window, "mnuFileSaveAs")->isEnabled());  // until corners are ticked
  QCOMPARE(Child<QAction>(window, "mnuFileOpen")->shortcut(), QKeySequence(QKeySequence::Open));
  QVERIFY(Child<QAction>(window, "mnuFileExit")->shortcut().isEmpty());
}

void Form1Test::tabOrder() {
  Form1& window = MakeWindow(testing::FakeServices(nullptr));
  QList<QWidget*> expected;
  for (const char* name : {"List1", "Command1", "Command2", "Command3", "Check1", "Check2", "Option1", "Option2"}) {
    expected.append(Child<QWidget>(window, name));
  }
  QList<QWidget*> chain;
  QWidget* widget = expected.first();
  do {
    if (expected.contains(widget)) chain.append(widget);
    widget = widget->nextInFocusChain();
  } while (widget != expected.first() && chain.size() < expected.size());
  QCOMPARE(chain, expected);
}

void Form1Test::optionButtonsFormOneGroup() {
  Form1& window = MakeWindow(testing::FakeServices(nullptr));
  QTest::mouseClick(Child<QRadioButton>(window, "Option1"), Qt::LeftButton);
  QVERIFY(Child<QRadioButton>(window, "Option1")->isChecked());
  QVERIFY(!Child<QRadioButton>(window, "Option2")->isChecked());
  QTest::mouseClick(Child<QRadioButton>(window, "Option2"), Qt::LeftButton);
  QVERIFY(Child<QRadioButton>(window, "Option2")->isChecked());
  QVERIFY(!Child<QRadioButton>(window, "Option1")->isChecked());
}

void Form1Test::openFillsTheSortedList() {
  Form1& window = MakeWindow(testing::FakeServices(nullptr));
  Open(CopyFixture("t12n.lx"));
  QCOMPARE(fakes_->dialog->calls(), 1);
  QVERIFY(fakes_->sink->messages.empty());
  // tests/data/t12n.lx: 10 lines after the headers, 2 sentinels, 100100 twice
  // (the line with the later line codes stays), in byte order.
  const QStringList expected = {
      QString::fromLatin1("  A&<\"B 350000.0000 1060000.0000     4000   R&<>\"\xE9"),
      QStringLiteral(" 100100 350712.3456 1064530.0000     1000      2.5  L002  N"),
      QStringLiteral(" 100140 350738.5000 1064530.1234     1012        1  L001  E"),
      QStringLiteral(" 140100 350712.3456 1064458.0000     -282       10  L002  N"),
      QStringLiteral(" 300500 3507"),
      QStringLiteral(" 400400"),
      QStringLiteral(" 700700 32 6  0.000 1060000.0000    40000        3"),
  };
  QAbstractItemModel* model = Child<QListView>(window, "List1")->model();
  QStringList shown;
  for (int row = 0; row < model->rowCount(); ++row) {
    shown << model->index(row, 0).data().toString();
    QCOMPARE(model->index(row, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(model->flags(model->index(row, 0)) & Qt::ItemIsUserCheckable);
  }
  QCOMPARE(shown, expected);
  QCOMPARE(window.windowTitle(), QStringLiteral("Korvexat12n.lx"));
  QCOMPARE(window.fName(), std::string("t12n.lx"));
  QCOMPARE(Child<QLabel>(window, "Label2")->text(), QString(texts::kInstructionText));
  QVERIFY(Child<QLabel>(window, "Label3")->isVisible());
  for (QWidget* control :
       std::initializer_list<QWidget*>{Child<QPushButton>(window, "Command1"), Child<QPushButton>(window, "Command2"),
                                       Child<QPushButton>(window, "Command3"), Child<QCheckBox>(window, "Check1"),
                                       Child<QCheckBox>(window, "Check2")}) {
    QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
  }
  QCOMPARE(Child<QCheckBox>(window, "Check1")->checkState(), Qt::Checked);
  QCOMPARE(Child<QCheckBox>(window, "Check2")->checkState(), Qt::Checked);
}

void Form1Test::openShowsProgressAndMakesTheFolderCurrent() {
  std::filesystem::create_directory(folder_->path() / "survey");
  const std::filesystem::path file = folder_->path() / "survey" / "T12N3E.LX";
  std::filesystem::copy_file(testing::TestData("t12n.lx"), file);
  QString statusDuringLoad;
  QString folderDuringLoad;
  journal_->onConvertLineEnds = [&] {
    statusDuringLoad = Child<QLabel>(*window_, "Label2")->text();
    folderDuringLoad = QDir::currentPath();
  };
  MakeWindow(testing::FakeServices(journal_.get()));
  Open(file);
  QCOMPARE(journal_->calls, std::vector<std::string>{"todos T12N3E.LX"});
  QCOMPARE(statusDuringLoad, QStringLiteral("Sorting file, removing duplicates. Please wait."));
  QCOMPARE(folderDuringLoad, Text(std::filesystem::canonical(folder_->path() / "survey")));
  QCOMPARE(QDir::currentPath(), folderDuringLoad);
  QCOMPARE(window_->windowTitle(), QStringLiteral("KorvexaT12N3E.LX"));
}

void Form1Test::secondOpenReplacesListAndTitle() {
  Form1& window = MakeWindow(testing::FakeServices(nullptr));
  Open(CopyFixture("a.lx"));
  window.SelectAll();
  testing::WriteBytes(folder_->path() / "b.lx", "header 1\r\nheader 2\r\n 500500 350000.0000 1060000.0000\r\n");
  Open(folder_->path() / "b.lx");
  QCOMPARE(window.windowTitle(), QStringLiteral("Korvexab.lx"));
  QCOMPARE(window.fName(), std::string("b.lx"));
  QAbstractItemModel* model = Child<QListView>(window, "List1")->model();
  QCOMPARE(model->rowCount(), 1);
  QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral(" 500500 350000.0000 1060000.0000"));
  QCOMPARE(model->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
}

void Form1Test::cancelledOpenKeepsEverything() {
  Form1& window = MakeWindow(testing::FakeServices(journal_.get()));
  Open(CopyFixture("t12n.lx"));
  ChooseUnticked(true);
  Child<QListView>(window, "List1")
      ->model()
      ->setData(Child<QListView>(window, "List1")->model()->index(2, 0), Qt::Checked, Qt::CheckStateRole);
  window.Create();
  QCOMPARE(Child<QLabel>(window, "Label2")->text(),
           QStringLiteral("File created; its positions are NAD27, which a GPS reads as WGS 84."));
  const QString folder = QDir::currentPath();
  const QList<bool> ticks = Ticks(window);
  QVERIFY(ticks.at(2));

  fakes_->dialog->Answer(QString());
  Child<QAction>(window, "mnuFileOpen")->trigger();

  QCOMPARE(fakes_->dialog->calls(), 2);
  QCOMPARE(journal_->calls, std::vector<std::string>{"todos t12n.lx"});
  QCOMPARE(Child<QListView>(window, "List1")->model()->rowCount(), 7);
  QCOMPARE(Ticks(window), ticks);
  QCOMPARE(window.fName(), std::string("t12n.lx"));
  QCOMPARE(window.windowTitle(), QStringLiteral("Korvexat12n.lx"));
  QCOMPARE(Child<QLabel>(window, "Label2")->text(),
           QStringLiteral("File created; its positions are NAD27, which a GPS reads as WGS 84."));
  QCOMPARE(QDir::currentPath(), folder);
  QVERIFY(fakes_->sink->messages.empty());
}

// A folder named like an .LX file opens but cannot be read, even by root.
void Form1Test::unreadableFileIsReportedAndChangesNothing() {
  Form1& window = MakeWindow(testing::FakeServices(nullptr));
  std::filesystem::create_directories(folder_->path() / "other" / "bad.lx");
  Open(folder_->path() / "other" / "bad.lx");
  QCOMPARE(fakes_->sink->messages.size(), std::size_t{1});
  const testing::Message& message = fakes_->sink->messages.front();
  QCOMPARE(message.kind, MessageKind::Critical);
  QCOMPARE(message.title, QStringLiteral("Korvexa"));
  QVERIFY2(message.text.startsWith(QStringLiteral("File > Open failed: ")), qPrintable(message.text));
  QVERIFY2(message.text.contains(QStringLiteral("bad.lx")), qPrintable(message.text));
  QCOMPARE(window.windowTitle(), QStringLiteral("Korvexa"));
  QCOMPARE(Child<QLabel>(window, "Label2")->text(), QString(texts::kStartText));
  QVERIFY(!Child<QPushButton>(window, "Command3")->isEnabled());
  QVERIFY(Child<QLabel>(window, "Label3")->isHidden());
  QCOMPARE(QDir::currentPath(), home_);

  // After a good load the earlier file stays the one Create writes beside.
  Open(CopyFixture("t12n.lx"));
  Open(folder_->path() / "other" / "bad.lx");
  QCOMPARE(window.windowTitle(), QStringLiteral("Korvexat12n.lx"));
  QCOMPARE(Child<QListView>(window, "List1")->model()->rowCount(), 7);
  ChooseUnticked(true);
  window.SelectAll();
  window.Create();
  QVERIFY(std::filesystem::exists(folder_->path() / "t12n.grm"));
  QCOMPARE(testing::ListFolder(folder_->path() / "other"), std::string("bad.lx"));
}

// A file opened by mistake is neither rewritten by the line-end converter
// nor read into the list; the list keeps the file opened before.
void Form1Test::aFileThatIsNoLxFileIsRefusedUntouched_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("reason");
  QTest::newRow("a picture") << "pic.png" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + QByteArray(600, '\x7f')
                             << "\"pic.png\" is not a GCDB .LX text file";
  QTest::newRow("a README") << "README.lx"
                            << QByteArray(
                                   "Survey notes\n\nT12N R3E, 2024: corners 100100 to 140100 found.\n"
                                   " 100100 was reset in 1998, see 350712.3456.\n")
                            << "\"README.lx\" is not a GCDB .LX file: no record holds a corner";
  QTest::newRow("empty") << "new.lx" << QByteArray() << "\"new.lx\" is not a GCDB .LX file: it is empty";
}

void Form1Test::aFileThatIsNoLxFileIsRefusedUntouched() {
  QFETCH(QString, name);
  QFETCH(QByteArray, bytes);
  QFETCH(QString, reason);
  Form1& window = MakeWindow(testing::FakeServices(journal_.get()));
  Open(CopyFixture("t12n.lx"));
  const std::filesystem::path file = folder_->path() / name.toStdString();
  testing::WriteBytes(file, bytes.toStdString());
  journal_->calls.clear();
  Open(file);
  QCOMPARE(fakes_->sink->messages.size(), std::size_t{1});
  QVERIFY2(fakes_->sink->messages.front().text.contains(reason), qPrintable(fakes_->sink->messages.front().text));
  QVERIFY(journal_->calls.empty());
  QCOMPARE(testing::ReadBytes(file), bytes.toStdString());
  QCOMPARE(Child<QListView>(window, "List1")->model()->rowCount(), 7);
  QCOMPARE(window.windowTitle(), QStringLiteral("Korvexat12n.lx"));
  QCOMPARE(testing::ListFolder(folder_->path()), name.toStdString() + " t12n.lx");
}

// The file named on the command line is opened this way.
void Form1Test::loadFileOpensWithoutTheDialog() {
  Form1& window = MakeWindow(testing::FakeServices(journal_.get()));
  window.LoadFile(Text(CopyFixture("t12n.lx")));
  QCOMPARE(fakes_->dialog->calls(), 0);
  QCOMPARE(journal_->calls, std::vector<std::string>{"todos t12n.lx"});
  QCOMPARE(window.windowTitle(), QStringLiteral("Korvexat12n.lx"));
  QCOMPARE(Child<QListView>(window, "List1")->model()->rowCount(), 7);
  QVERIFY(Child<QPushButton>(window, "Command3")->isEnabled());
}

// One local file dropped on the window opens; two files or a web address do
// nothing.
void Form1Test::droppedFileOpensLikeOpen() {
  Form1& window = MakeWindow(testing::FakeServices(nullptr));
  const QUrl file = QUrl::fromLocalFile(Text(CopyFixture("t12n.lx")));
  auto drop = [&](const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &dropped);
    return enter.isAccepted();
  };
  QVERIFY(!drop({file, file}));
  QVERIFY(!drop({QUrl(QStringLiteral("https://korvexa.org/t12n.lx"))}));
  QCOMPARE(Child<QListView>(window, "List1")->model()->rowCount(), 0);
  QVERIFY(drop({file}));
  QCOMPARE(window.windowTitle(), QStringLiteral("Korvexat12n.lx"));
  QCOMPARE(Child<QListView>(window, "List1")->model()->rowCount(), 7);
  QCOMPARE(fakes_->dialog->calls(), 0);
}

void Form1Test::selectAllAndNoneReachRowsOutOfView() {
  Form1& window = MakeWindow(testing::FakeServices(nullptr));
  testing::WriteBytes(folder_->path() / "t3.lx", testing::SyntheticLxText(3));
  Open(folder_->path() / "t3.lx");
  QAbstractItemModel* model = Child<QListView>(window, "List1")->model();
  const int rows = model->rowCount();
  QCOMPARE(rows, int(3 * testing::kCornersPerTownship));
  const QModelIndex last = model->index(rows - 1, 0);
  QVERIFY(!Child<QListView>(window, "List1")
               ->viewport()
               ->rect()
               .intersects(Child<QListView>(window, "List1")->visualRect(last)));

  QSignalSpy changes(model, &QAbstractItemModel::dataChanged);
  QTest::mouseClick(Child<QPushButton>(window, "Command1"), Qt::LeftButton);
  QCOMPARE(changes.size(), 1);  // one change over the whole list, not one per row
  for (int row = 0; row < rows; ++row) {
    QCOMPARE(model->index(row, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
  }
  QTest::mouseClick(Child<QPushButton>(window, "Command2"), Qt::LeftButton);
  for (int row = 0; row < rows; ++row) {
    QCOMPARE(model->index(row, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
  }
  QCOMPARE(Child<QLabel>(window, "Label2")->text(), QString(texts::kInstructionText));

  // The user ticks one entry with the keyboard.
  Child<QListView>(window, "List1")->setFocus();
  Child<QListView>(window, "List1")->setCurrentIndex(model->index(rows - 2, 0));
  QTest::keyClick(Child<QListView>(window, "List1"), Qt::Key_Space);
  QCOMPARE(model->index(rows - 2, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
  QVERIFY(window.points()->points()[static_cast<std::size_t>(rows - 2)].ticked);
}

// The golden file of the PCX5 writer holds every point of t12n.lx, written at
// testing::kDecember6 without transformation.
void Form1Test::createWritesThePcx5FileBesideTheInput() {
  Form1& window = MakeWindow(testing::FakeServices(nullptr));
  Open(CopyFixture("t12n.lx"));
  ChooseUnticked(true);
  QTest::mouseClick(Child<QPushButton>(window, "Command1"), Qt::LeftButton);
  QTest::mouseClick(Child<QPushButton>(window, "Command3"), Qt::LeftButton);
  // 300500 has no longitude, 400400 no coordinates, 700700 stands far south.
  QCOMPARE(Child<QLabel>(window, "Label2")->text(),
           QStringLiteral("File created; its positions are NAD27, which a GPS reads as WGS 84. 3 points left out."));
  QCOMPARE(fakes_->sink->messages.size(), std::size_t{1});
  QCOMPARE(fakes_->sink->messages.front().kind, MessageKind::Warning);
  QVERIFY(fakes_->sink->messages.front().text.contains(
      QStringLiteral("300500 (no longitude), 400400 (no coordinates), 700700 (at 32.1 N 106 W lies more")));
  const auto golden = testing::MatchesGolden(testing::ReadBytes(folder_->path() / "t12n.grm"),
                                             testing::TestData("t12n~create-pcx5.grm"));
  QVERIFY2(golden, golden.message());
  QCOMPARE(testing::ListFolder(folder_->path()), std::string("t12n.grm t12n.lx"));
  QCOMPARE(window.windowTitle(), QStringLiteral("Korvexat12n.lx"));
  QVERIFY(Child<QRadioButton>(window, "Option1")->isChecked() && Child<QPushButton>(window, "Command3")->isEnabled());
}

void Form1Test::createWithTheTickBoxesTransformsAndDraws() {
  Form1& window = MakeWindow(testing::FakeServices(journal_.get()));
  Open(CopyFixture("t12n.lx"));
  Child<QListView>(window, "List1")
      ->model()
      ->setData(Child<QListView>(window, "List1")->model()->index(1, 0), Qt::Checked, Qt::CheckStateRole);
  Child<QRadioButton>(window, "Option1")->click();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);  // the access key of "&Create"
  QTRY_COMPARE(Child<QLabel>(window, "Label2")->text(),
               QStringLiteral("Files created."));  // the button animates its click
  QVERIFY(fakes_->sink->messages.empty());
  QCOMPARE(journal_->calls, (std::vector<std::string>{"todos t12n.lx", "define datum pair", "lx2dxf t12n.lx"}));
  QCOMPARE(Child<QLabel>(window, "Label2")->text(), QStringLiteral("Files created."));
  QVERIFY(std::filesystem::exists(folder_->path() / "t12n.grm"));
}

// What a user gets on a fresh, offline machine: the real converters and the
// NADCON transformation with the grids shipped beside the program.
void Form1Test::firstDefaultCreateWithTheSystemServices() {
  Form1& window = MakeWindow(MakeSystemServices());
  testing::WriteBytes(folder_->path() / "t12n.lx", testing::SyntheticLxText(1));
  Open(folder_->path() / "t12n.lx");
  window.SelectAll();
  Child<QPushButton>(window, "Command3")->click();
  for (const testing::Message& message : fakes_->sink->messages) QFAIL(qPrintable(message.text));
  QCOMPARE(Child<QLabel>(window, "Label2")->text(), QStringLiteral("Files created."));
  QCOMPARE(QString::fromStdString(testing::ListFolder(folder_->path())), QStringLiteral("t12n.dxf t12n.gpx t12n.lx"));
}

// The options as the window opens: GPX, transformed, with the drawing.
void Form1Test::createWithTheStartOptions() {
  Form1& window = MakeWindow(testing::FakeServices(journal_.get()));
  Open(CopyFixture("t12n.lx"));
  Child<QListView>(window, "List1")
      ->model()
      ->setData(Child<QListView>(window, "List1")->model()->index(1, 0), Qt::Checked, Qt::CheckStateRole);
  journal_->calls.clear();
  window.Create();
  QVERIFY(fakes_->sink->messages.empty());
  QVERIFY(std::filesystem::exists(folder_->path() / "t12n.gpx"));
  QCOMPARE(journal_->calls, (std::vector<std::string>{"define datum pair", "lx2dxf t12n.lx"}));
  QCOMPARE(Child<QLabel>(window, "Label2")->text(), QStringLiteral("Files created."));
}

// A slip of the keyboard (Space on a focused Create) empties no file.
void Form1Test::createWithNothingTickedKeepsTheEarlierFile() {
  Form1& window = MakeWindow(testing::FakeServices(journal_.get()));
  Open(CopyFixture("t12n.lx"));
  testing::WriteBytes(folder_->path() / "t12n.gpx", "three waypoints");
  Child<QPushButton>(window, "Command3")->setFocus();
  QTest::keyClick(Child<QPushButton>(window, "Command3"), Qt::Key_Space);
  QTRY_COMPARE(Child<QLabel>(window, "Label2")->text(), QString::fromLatin1(kNoCornersTicked));
  QVERIFY(fakes_->sink->messages.empty());
  QCOMPARE(testing::ReadBytes(folder_->path() / "t12n.gpx"), std::string("three waypoints"));
  QCOMPARE(testing::ListFolder(folder_->path()), std::string("t12n.gpx t12n.lx"));
}

void Form1Test::createFailureIsShownAndNothingWritten_data() {
  QTest::addColumn<bool>("transform");
  QTest::addColumn<bool>("outputIsAFolder");
  QTest::addColumn<QString>("reason");
  QTest::newRow("transformation fails") << true << false << "NAD27 to NAD83";
  QTest::newRow("output name taken by a folder") << false << true << "t12n.grm";
}

void Form1Test::createFailureIsShownAndNothingWritten() {
  QFETCH(bool, transform);
  QFETCH(bool, outputIsAFolder);
  QFETCH(QString, reason);
  journal_->onDefineDatumPair = [] {
    throw KorvexaError("cannot move points from NAD27 to NAD83: the NADCON grids are not installed");
  };
  Form1& window = MakeWindow(testing::FakeServices(journal_.get()));
  Open(CopyFixture("t12n.lx"));
  window.SelectAll();
  ChooseUnticked(true);
  Child<QCheckBox>(window, "Check1")->setChecked(transform);
  if (outputIsAFolder) std::filesystem::create_directory(folder_->path() / "t12n.grm");
  const std::string before = testing::ListFolder(folder_->path());

  QTest::mouseClick(Child<QPushButton>(window, "Command3"), Qt::LeftButton);

  QCOMPARE(fakes_->sink->messages.size(), std::size_t{1});
  const testing::Message& message = fakes_->sink->messages.front();
  QCOMPARE(message.kind, MessageKind::Critical);
  QCOMPARE(message.title, QStringLiteral("Korvexa"));
  QVERIFY2(message.text.startsWith(QStringLiteral("Create failed: ")), qPrintable(message.text));
  QVERIFY2(message.text.contains(reason), qPrintable(message.text));
  QCOMPARE(testing::ListFolder(folder_->path()), before);
  QCOMPARE(Child<QLabel>(window, "Label2")->text(), QStringLiteral("Create failed; nothing was written."));
}

// The waypoint file is written; the status line and a message say that the
// drawing was not, and why.
void Form1Test::aFailedDrawingIsReportedAfterTheWaypointFile() {
  journal_->drawing = {false, "\"t12n.lx\" holds no points to draw"};
  Form1& window = MakeWindow(testing::FakeServices(journal_.get()));
  Open(CopyFixture("t12n.lx"));
  Child<QCheckBox>(window, "Check1")->setChecked(false);
  Child<QListView>(window, "List1")
      ->model()
      ->setData(Child<QListView>(window, "List1")->model()->index(1, 0), Qt::Checked, Qt::CheckStateRole);
  window.Create();
  QCOMPARE(Child<QLabel>(window, "Label2")->text(),
           QStringLiteral("File created; the drawing was not; its positions are NAD27, which a GPS reads as WGS 84."));
  QCOMPARE(fakes_->sink->messages.size(), std::size_t{1});
  QCOMPARE(fakes_->sink->messages.front().text,
           QStringLiteral("The drawing t12n.dxf was not made: \"t12n.lx\" holds no points to draw."));
  QCOMPARE(testing::ListFolder(folder_->path()), std::string("t12n.gpx t12n.lx"));
}

// The status line has room for its longest text, the instruction.
void Form1Test::theStatusLineShowsTheWholeInstruction() {
  Form1& window = MakeWindow(testing::FakeServices(nullptr));
  Open(CopyFixture("t12n.lx"));
  QVERIFY2(Child<QLabel>(window, "Label2")->heightForWidth(Child<QLabel>(window, "Label2")->width()) <=
               Child<QLabel>(window, "Label2")->height(),
           qPrintable(QString::number(
               Child<QLabel>(window, "Label2")->heightForWidth(Child<QLabel>(window, "Label2")->width()))));
  QCOMPARE(Child<QLabel>(window, "Label2")->geometry().bottom(), window.centralWidget()->height() - 1);
}

}  // namespace korvexa

KORVEXA_QTEST_MAIN(korvexa::Form1Test)
#include "form1_test.moc"
