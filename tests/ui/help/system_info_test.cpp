// System Info of the About box: GetKeyValue over a fake registry, the order
// in which StartSysInfo asks the two keys, and the message when no tool is
// found.
#include "ui/help/system_info.h"

#include <QPushButton>
#include <QTest>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "core/korvexa_error.h"
#include "tests/ui/child.h"
#include "tests/ui/qtest_main.h"
#include "tests/ui/ui_fakes.h"
#include "ui/help/frm_about.h"

namespace korvexa {
namespace {

using testing::Child;

const std::string kMsinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

// Keys of HKEY_LOCAL_MACHINE with their values; logs every call.
class FakeRegistry : public Registry {
 public:
  void Set(const std::string& key, const std::string& name, std::uint32_t type, std::string data) {
    keys_[key][name] = {type, std::move(data)};
  }
  std::optional<Key> OpenKey(RegistryRoot root, const std::string& keyName) override {
    log << QString::fromStdString("open " + keyName);
    if (root != kHkeyLocalMachine || !keys_.contains(keyName)) return std::nullopt;
    ++openKeys;
    opened_[++lastKey_] = keyName;
    return lastKey_;
  }
  std::optional<RegistryValue> QueryValue(Key key, const std::string& valueName) override {
    log << QString::fromStdString("query " + valueName);
    const auto& values = keys_.at(opened_.at(key));
    const auto value = values.find(valueName);
    if (value == values.end()) return std::nullopt;
    return value->second;
  }
  void CloseKey(Key key) override {
    log << QStringLiteral("close");
    opened_.erase(key);
    --openKeys;
  }

  QStringList log;
  int openKeys = 0;

 private:
  std::map<std::string, std::map<std::string, RegistryValue>> keys_;
  std::map<Key, std::string> opened_;
  Key lastKey_ = 0;
};

std::string Bytes(const QByteArray& bytes) {
  return bytes.toStdString();
}

// A text as stored with its terminating NUL.
QByteArray WithNul(const char* text) {
  return QByteArray(text) + '\0';
}

}  // namespace

class SystemInfoTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void getKeyValue_data();
  void getKeyValue();
  void getKeyValueOfAMissingKey();
  void zeroByteValueIsAnError();
  void startSysInfo_data();
  void startSysInfo();
  void unavailableOnThisComputer();
};

// A value stored under "Value" of kMsinfoKey, read into a KeyVal that holds
// `entry` beforehand.
void SystemInfoTest::getKeyValue_data() {
  QTest::addColumn<int>("type");
  QTest::addColumn<QByteArray>("data");
  QTest::addColumn<QString>("entry");
  QTest::addColumn<bool>("read");
  QTest::addColumn<QString>("keyVal");
  const QByteArray fullBuffer(1024, 'a');
  QTest::newRow("REG_SZ with its NUL") << 1 << WithNul("C:\\x\\msinfo32.exe") << "" << true << "C:\\x\\msinfo32.exe";
  QTest::newRow("REG_SZ without NUL keeps its last character") << 1 << QByteArray("abc") << "" << true << "abc";
  QTest::newRow("REG_SZ of one NUL") << 1 << QByteArray("\0", 1) << "old" << true << "";
  QTest::newRow("REG_SZ replaces KeyVal") << 1 << QByteArray("new") << "old" << true << "new";
  QTest::newRow("REG_SZ of exactly 1024 bytes") << 1 << fullBuffer << "" << true << QString::fromLatin1(fullBuffer);
  QTest::newRow("REG_SZ of 1025 bytes cannot be read") << 1 << QByteArray(1025, 'a') << "old" << false << "";
  // REG_DWORD: least significant byte first; a last byte of 0 counts as NUL.
  QTest::newRow("REG_DWORD 0x12345678") << 4 << QByteArray("\x78\x56\x34\x12", 4) << "" << true << "&h12345678";
  QTest::newRow("REG_DWORD 0x0A0B0C0D, no leading zeros")
      << 4 << QByteArray("\x0D\x0C\x0B\x0A", 4) << "" << true << "&hABCD";
  QTest::newRow("REG_DWORD 255 loses its last zero byte") << 4 << QByteArray("\xFF\0\0\0", 4) << "" << true << "&h00FF";
  QTest::newRow("REG_DWORD appends to KeyVal") << 4 << QByteArray("\x04\x03\x02\x01", 4) << "7" << true << "&h71234";
  QTest::newRow("REG_EXPAND_SZ leaves KeyVal") << 2 << WithNul("%SystemRoot%") << "old" << true << "old";
  QTest::newRow("REG_BINARY leaves KeyVal") << 3 << QByteArray("\x01\x02", 2) << "old" << true << "old";
  QTest::newRow("REG_MULTI_SZ leaves KeyVal") << 7 << QByteArray("a\0b\0\0", 5) << "" << true << "";
}

void SystemInfoTest::getKeyValue() {
  QFETCH(int, type);
  QFETCH(QByteArray, data);
  QFETCH(QString, entry);
  QFETCH(bool, read);
  QFETCH(QString, keyVal);
  FakeRegistry registry;
  registry.Set(kMsinfoKey, "Value", static_cast<std::uint32_t>(type), Bytes(data));
  std::string value = entry.toStdString();
  QCOMPARE(GetKeyValue(registry, kHkeyLocalMachine, kMsinfoKey, "Value", value), read);
  QCOMPARE(QString::fromLatin1(value), keyVal);
  QCOMPARE(registry.openKeys, 0);
}

void SystemInfoTest::getKeyValueOfAMissingKey() {
  FakeRegistry registry;
  registry.Set(kMsinfoKey, "PATH", kRegSz, "x");
  std::string value = "old";
  QVERIFY(!GetKeyValue(registry, kHkeyLocalMachine, kLocationKey, "PATH", value));
  QVERIFY(value.empty());
  value = "old";
  QVERIFY(!GetKeyValue(registry, kHkeyLocalMachine, kMsinfoKey, "MISSING", value));
  QVERIFY(value.empty());
  QCOMPARE(registry.log, (QStringList{QString::fromStdString("open " + kLocationKey),
                                      QString::fromStdString("open " + kMsinfoKey), "query MISSING", "close"}));
}

void SystemInfoTest::zeroByteValueIsAnError() {
  FakeRegistry registry;
  registry.Set(kMsinfoKey, "PATH", kRegSz, "");
  std::string value;
  QVERIFY_THROWS_EXCEPTION(KorvexaError, GetKeyValue(registry, kHkeyLocalMachine, kMsinfoKey, "PATH", value));
  QCOMPARE(registry.openKeys, 0);
}

// Each row fills the registry and the file system, presses System Info and
// checks what was started, the message and the order of the registry calls.
void SystemInfoTest::startSysInfo_data() {
  QTest::addColumn<int>("pathType");  // 0: no MSINFO key
  QTest::addColumn<QByteArray>("path");
  QTest::addColumn<QByteArray>("location");  // empty: no location key
  QTest::addColumn<bool>("toolInLocation");
  QTest::addColumn<QStringList>("starts");  // the programs System Info tried to start
  QTest::addColumn<bool>("message");
  QTest::addColumn<QStringList>("calls");
  const QStringList first = {QString::fromStdString("open " + kMsinfoKey), "query PATH", "close"};
  const QStringList second = {QString::fromStdString("open " + kLocationKey), "query MSINFO", "close"};
  const QStringList noFirst = {QString::fromStdString("open " + kMsinfoKey)};
  const QByteArray folder = WithNul("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo");
  const QString tool = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\MSINFO32.EXE";

  QTest::newRow("PATH is started without a look at the file")
      << 1 << WithNul("C:\\tools\\info.exe") << folder << true << QStringList{"C:\\tools\\info.exe"} << false << first;
  QTest::newRow("tool in the folder of the second key")
      << 0 << QByteArray() << folder << true << QStringList{tool} << false << noFirst + second;
  QTest::newRow("second key's folder without the tool")
      << 0 << QByteArray() << folder << false << QStringList() << true << noFirst + second;
  QTest::newRow("no keys at all") << 0 << QByteArray() << QByteArray() << false << QStringList() << true
                                  << noFirst + QStringList{QString::fromStdString("open " + kLocationKey)};
  QTest::newRow("PATH of zero bytes") << 1 << QByteArray() << folder << true << QStringList() << true << first;
  // True with KeyVal left empty: starting the empty path fails.
  QTest::newRow("PATH of type REG_EXPAND_SZ")
      << 2 << WithNul("%x%") << folder << true << QStringList{""} << true << first;
  QTest::newRow("PATH names a program that does not start")
      << 1 << WithNul("C:\\gone.exe") << folder << true << QStringList{"C:\\gone.exe"} << true << first;
}

void SystemInfoTest::startSysInfo() {
  QFETCH(int, pathType);
  QFETCH(QByteArray, path);
  QFETCH(QByteArray, location);
  QFETCH(bool, toolInLocation);
  QFETCH(QStringList, starts);
  QFETCH(bool, message);
  QFETCH(QStringList, calls);
  auto registry = std::make_shared<FakeRegistry>();
  if (pathType != 0) registry->Set(kMsinfoKey, "PATH", static_cast<std::uint32_t>(pathType), Bytes(path));
  if (!location.isEmpty()) registry->Set(kLocationKey, "MSINFO", kRegSz, Bytes(location));
  QStringList tried;
  SystemInfoPlatform platform{registry,
                              [toolInLocation](const std::string& file) {
                                return toolInLocation &&
                                       QString::fromStdString(file).endsWith(QLatin1String("\\MSINFO32.EXE"));
                              },
                              [&tried](const std::string& program) {
                                tried << QString::fromStdString(program);
                                return !program.empty() && program.find("gone") == std::string::npos;
                              }};
  auto sink = std::make_shared<testing::RecordingMessageSink>();
  frmAbout about(platform, sink);
  QTest::mouseClick(Child<QPushButton>(about, "cmdSysInfo"), Qt::LeftButton);

  QCOMPARE(tried, starts);
  QCOMPARE(sink->messages.size(), std::size_t{message ? 1u : 0u});
  QCOMPARE(registry->log, calls);
  QCOMPARE(registry->openKeys, 0);
}

void SystemInfoTest::unavailableOnThisComputer() {
  auto sink = std::make_shared<testing::RecordingMessageSink>();
  frmAbout about(DesktopSystemInfoPlatform(), sink);
  about.StartSysInfo();
  QCOMPARE(sink->messages.size(), std::size_t{1});
  QCOMPARE(sink->messages.front().kind, MessageKind::Plain);
  QCOMPARE(sink->messages.front().title, QStringLiteral("Korvexa"));
  QCOMPARE(sink->messages.front().text, QStringLiteral("System Information Is Unavailable At This Time"));
  std::string value = "old";
  QVERIFY(!GetKeyValue(*DesktopSystemInfoPlatform().registry, kHkeyLocalMachine, kMsinfoKey, "PATH", value));
  QVERIFY(value.empty());
}

}  // namespace korvexa

KORVEXA_QTEST_MAIN(korvexa::SystemInfoTest)
#include "system_info_test.moc"
