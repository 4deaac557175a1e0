#include "qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace tarvo {
namespace {

constexpr char kTranslatorName[] = "tarvo_qt_translations";

// The locale of Qt's catalogue for each language number; English has none.
QString qt_locale(std::int32_t language_base) {
  switch (language_base / 1000) {
    case 2:
      return QStringLiteral("zh_CN");
    case 3:
      return QStringLiteral("fr");
    case 4:
      return QStringLiteral("de");
    case 5:
      return QStringLiteral("es");
    default:
      return {};
  }
}

// The one translator installed; the application owns it, and a QPointer
// notices when the application has gone.
QPointer<QTranslator>& installed_translator() {
  static QPointer<QTranslator> translator;
  return translator;
}

}  // namespace

bool use_qt_translations(std::int32_t language_base) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return false;
  // A switch replaces the translator of the language before.
  if (QTranslator* old = installed_translator()) {
    QCoreApplication::removeTranslator(old);
    delete old;
  }
  const QString locale = qt_locale(language_base);
  if (locale.isEmpty()) return false;
  auto* translator = new QTranslator(app);
  translator->setObjectName(kTranslatorName);
  if (!translator->load(QLocale(locale), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  installed_translator() = translator;
  return QCoreApplication::installTranslator(translator);
}

}  // namespace tarvo
