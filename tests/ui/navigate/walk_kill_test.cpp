// The real program started before its gpsd (a local server speaking its protocol, up 5 s later,
// sending GGA alone), killed later: its journal holds the fixes up to 5 s before the kill.
#include <signal.h>

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include "app/navigate/walk_journal.h"
#include "fixtures/synthetic_township.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/qtest_main.h"

namespace korvexa {
namespace {

QByteArray Sentence(const QByteArray& body) {
  unsigned sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  return '$' + body + '*' + QByteArray::number(sum, 16).rightJustified(2, '0').toUpper() + "\r\n";
}

// A fix `tenths` tenths of a second after 21:04:00, 1.9 m north of the one before.
QByteArray Fix(int tenths) {
  return Sentence(QString::asprintf("GPGGA,2104%04.1f,35%08.5f,N,10632.64730,W,1,12,0.9,1532.0,M,-22.4,M,,",
                                    tenths / 10.0, 2.16854 + 0.001 * tenths / 5)
                      .toLatin1());
}

}  // namespace

class WalkKillTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void theJournalOutlivesAKill();
};

void WalkKillTest::theJournalOutlivesAKill() {
  QTemporaryDir work;
  testing::WriteBytes(QFile::encodeName(work.filePath(QStringLiteral("t12n.lx"))).toStdString(),
                      testing::SyntheticLxText(1));
  QTcpServer gpsd;
  QVERIFY(gpsd.listen(QHostAddress::LocalHost));
  const quint16 port = gpsd.serverPort();
  gpsd.close();
  QProcess korvexa;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"XDG_STATE_HOME", "XDG_CONFIG_HOME"}) environment.insert(name, work.filePath(name));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  korvexa.setProcessEnvironment(environment);
  korvexa.setWorkingDirectory(work.path());
  korvexa.setProcessChannelMode(QProcess::ForwardedChannels);
  korvexa.start(QStringLiteral(KORVEXA_PROGRAM),
                {QStringLiteral("t12n.lx"), QStringLiteral("--gps"), QStringLiteral("gpsd:127.0.0.1:%1").arg(port)});
  QVERIFY(korvexa.waitForStarted());
  QTest::qWait(5000);
  QVERIFY(gpsd.listen(QHostAddress::LocalHost, port));
  QTRY_VERIFY_WITH_TIMEOUT(gpsd.hasPendingConnections(), 12000);
  QTcpSocket* client = gpsd.nextPendingConnection();
  int tenths = 0;
  for (; tenths <= 80; tenths += 5) {  // eight seconds of a fix each half second
    client->write(Fix(tenths));
    QTest::qWait(500);
  }
  QVERIFY(korvexa.state() == QProcess::Running);
  ::kill(pid_t(korvexa.processId()), SIGKILL);
  QVERIFY(korvexa.waitForFinished());

  const std::vector<JournalFile> journals =
      WalkJournal(QFile::encodeName(work.filePath(QStringLiteral("XDG_STATE_HOME/korvexa"))).toStdString()).List();
  QCOMPARE(journals.size(), std::size_t(1));
  const std::vector<TrackPoint> points = ReadGpxTrack(journals[0].path);
  QVERIFY(!points.empty() && points.back().utc);
  const int lastTenths = (points.back().utc->second * 1000 + points.back().milliseconds) / 100;
  const int killedAt = tenths - 5;  // the last fix sent
  QVERIFY2(lastTenths >= killedAt - 50, qPrintable(QStringLiteral("%1 of %2").arg(lastTenths).arg(killedAt)));
}

}  // namespace korvexa

KORVEXA_QTEST_MAIN(korvexa::WalkKillTest)
#include "walk_kill_test.moc"
