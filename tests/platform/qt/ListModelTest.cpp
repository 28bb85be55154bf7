// The list views' model without a window: Qt's model rules on every change, one reset per
// batch of rows, and the Windows-1252 texts as the view shows them.
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include "platform/qt/ListModel.h"

using orv::ListColumn;
using orv::ListModel;
using orv::ListRow;
using orv::Text;

namespace {

std::vector<ListColumn> object_list_columns() {
    return {{"F", 20}, {"ID", 200}, {"EV Name", 248}, {"DV Name", 248}};
}

QString shown(const ListModel& model, int row, int column) {
    return model.data(model.index(row, column), Qt::DisplayRole).toString();
}

} // namespace

class ListModelTest : public QObject {
    Q_OBJECT

private slots:
    void keepsModelRulesThroughEveryChange();
    void replacesAllRowsInOneReset();
    void setCellChangesExactlyOneCell();
    void showsWindows1252Texts_data();
    void showsWindows1252Texts();
    void headersComeFromTheColumnTable();
};

void ListModelTest::keepsModelRulesThroughEveryChange() {
    ListModel model(object_list_columns());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.set_rows({{"B", "act_well", "Old Well", "Alter Brunnen"}, {"", "act_gate"}});
    model.set_cell(1, 3, "Tor");
    model.set_rows({});
    model.set_rows(std::vector<ListRow>(500, ListRow{"", "id", "name", "name"}));
    QCOMPARE(model.rowCount(), 500);
    QCOMPARE(model.columnCount(), 4);
    // A table has no children below its rows.
    QCOMPARE(model.rowCount(model.index(0, 0)), 0);
    QCOMPARE(model.columnCount(model.index(0, 0)), 0);
}

void ListModelTest::replacesAllRowsInOneReset() {
    ListModel model(object_list_columns());
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);

    model.set_rows(std::vector<ListRow>(50000, ListRow{"", "id", "ev", "dv"}));
    model.set_rows({{"*", "only", "One", "Eins"}});

    QCOMPARE(resets.count(), 2);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(removed.count(), 0);
    QCOMPARE(model.row_count(), std::size_t{1});
    QCOMPARE(shown(model, 0, 3), QStringLiteral("Eins"));
}

void ListModelTest::setCellChangesExactlyOneCell() {
    ListModel model(object_list_columns());
    model.set_rows({{"", "a", "Alpha", "Alpha"}, {"", "b"}});
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    QVERIFY(model.set_cell(0, 0, "*"));
    // A row shorter than the columns grows up to the cell written.
    QVERIFY(model.set_cell(1, 3, "Beta"));
    // Past the last row, the last column, or before the first column: nothing.
    QVERIFY(!model.set_cell(2, 0, "x"));
    QVERIFY(!model.set_cell(0, 4, "x"));
    QVERIFY(!model.set_cell(0, -1, "x"));

    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed[0][0].toModelIndex(), model.index(0, 0));
    QCOMPARE(changed[0][1].toModelIndex(), model.index(0, 0));
    QCOMPARE(changed[1][0].toModelIndex(), model.index(1, 3));
    QCOMPARE(model.cell(0, 0), Text("*"));
    QCOMPARE(model.cell(1, 2), Text());
    QCOMPARE(model.cell(1, 3), Text("Beta"));
    QCOMPARE(model.cell(2, 0), Text());
    QCOMPARE(model.cell(0, 4), Text());
}

void ListModelTest::showsWindows1252Texts_data() {
    QTest::addColumn<QByteArray>("cell");
    QTest::addColumn<QString>("expected");
    QTest::newRow("umlauts") << QByteArray("Br\xFC"
                                           "cke \xC4"
                                           "ra")
                             << QStringLiteral("Brücke Ära");
    QTest::newRow("euro and dashes") << QByteArray("\x80 \x96 \x97") << QStringLiteral("€ – —");
    QTest::newRow("sharp s") << QByteArray("Stra\xDF"
                                           "e")
                             << QStringLiteral("Straße");
    QTest::newRow("undefined byte kept") << QByteArray("\x81") << QString(QChar(0x81));
    QTest::newRow("empty") << QByteArray() << QString();
}

void ListModelTest::showsWindows1252Texts() {
    QFETCH(QByteArray, cell);
    QFETCH(QString, expected);
    ListModel model(object_list_columns());
    model.set_rows({{"", cell.toStdString()}});
    QCOMPARE(shown(model, 0, 1), expected);
    QCOMPARE(model.cell(0, 1), cell.toStdString());
}

void ListModelTest::headersComeFromTheColumnTable() {
    ListModel model({{"Id Birthsign", 350}});
    QCOMPARE(model.columnCount(), 1);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Id Birthsign"));
    QVERIFY(!model.headerData(1, Qt::Horizontal).isValid());
    QVERIFY(!model.headerData(0, Qt::Vertical).isValid());

    ListModel four(object_list_columns());
    QStringList titles;
    for (int column = 0; column < four.columnCount(); ++column) {
        titles << four.headerData(column, Qt::Horizontal).toString();
    }
    QCOMPARE(titles, QStringList({"F", "ID", "EV Name", "DV Name"}));
}

QTEST_GUILESS_MAIN(ListModelTest)
#include "ListModelTest.moc"
