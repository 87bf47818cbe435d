// Qt's own dialogs speak Japanese once start-up has loaded Qt's catalogue.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

#include "app/qt_translations.h"

class QtTranslationsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void fileDialogButtonsAreJapanese() {
    QTranslator translator;
    QVERIFY(kestrelon::app::InstallQtJapanese(translator));

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const auto* buttons = dialog.findChild<QDialogButtonBox*>();
    QVERIFY(buttons != nullptr);
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("キャンセル"));
    QCOMPARE(buttons->button(QDialogButtonBox::Open)->text(), QString::fromUtf8("開く(&O)"));

    // Removing the catalogue brings Qt's English back: the texts above came from it.
    QCoreApplication::removeTranslator(&translator);
    QFileDialog english;
    english.setOption(QFileDialog::DontUseNativeDialog);
    QCOMPARE(english.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->text(),
             QStringLiteral("Cancel"));
  }
};

QTEST_MAIN(QtTranslationsTest)
#include "qt_translations_test.moc"
