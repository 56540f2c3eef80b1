// The instance name and the guard's decision.
#include <QtTest/QtTest>
#include <set>

#include "FakeMessageBoxes.h"
#include "console/GbkQt.h"
#include "platform/InstanceMarker.h"
#include "platform/Md5.h"
#include "startup/SingleInstanceGuard.h"

using namespace vardex;

namespace {

class FakeMarker : public InstanceMarker {
public:
    bool IsRunning(std::string_view name) override { return held.count(std::string(name)) > 0; }
    bool MarkRunning(std::string_view name) override {
        marked.insert(std::string(name));
        return true;
    }
    std::set<std::string> held;
    std::set<std::string> marked;
};

QByteArray Gbk(const QString& text) {
    return QByteArray::fromStdString(ToGbk(text).value());
}

}  // namespace

class SingleInstanceGuardTest : public QObject {
    Q_OBJECT

private slots:
    void theNameIsTheLastFolderBackwards_data() {
        QTest::addColumn<QString>("runDirectory");
        QTest::addColumn<QString>("name");
        QTest::newRow("windows path") << "C:\\Tools\\RdpMan"
                                      << "naMpdR";
        QTest::newRow("gbk folder") << "D:\\软件\\工具"
                                    << "具工";
        QTest::newRow("drive root") << "C:"
                                    << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void theNameIsTheLastFolderBackwards() {
        QFETCH(QString, runDirectory);
        QFETCH(QString, name);
        QCOMPARE(QByteArray::fromStdString(InstanceEventName(Gbk(runDirectory).toStdString())),
                 Gbk(name));
    }

    void linuxPathsAreReadTheSameWay() {
        QCOMPARE(QByteArray::fromStdString(InstanceName(u8"/opt/软件/工具")), Gbk("具工"));
        QCOMPARE(InstanceName("/home/a/RdpMan"), std::string("naMpdR"));
        // The root gives no folder name: the MD5 of the seed stands in.
        const std::string seedName = Md5Hex(kInstanceSeed);
        QCOMPARE(seedName.size(), size_t(32));
        QCOMPARE(InstanceName(""), seedName);
        QCOMPARE(kInstanceSeed.size(), size_t(26));
    }

    void aSecondCopyIsToldAndRefused() {
        FakeMarker marker;
        vardex::testing::FakeMessageBoxes messages;
        QVERIFY(GuardSingleInstance("/x/RdpMan", marker, messages));
        QVERIFY(messages.shown.empty());
        QCOMPARE(marker.marked, std::set<std::string>{"naMpdR"});

        marker.held = marker.marked;
        marker.marked.clear();
        QVERIFY(!GuardSingleInstance("/y/RdpMan", marker, messages));  // same last name
        QCOMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].text, QStringLiteral("不要重复运行"));
        QCOMPARE(messages.shown[0].title, QStringLiteral("友情提醒:"));
        QVERIFY(messages.shown[0].buttons == MessageButtons::Ok);
        QVERIFY(messages.shown[0].icon == MessageIcon::None);
        QVERIFY(marker.marked.empty());
        QVERIFY(GuardSingleInstance("/x/Other", marker, messages));
    }
};

QTEST_MAIN(SingleInstanceGuardTest)
#include "SingleInstanceGuardTest.moc"
