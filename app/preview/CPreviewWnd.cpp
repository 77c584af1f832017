#include "app/preview/CPreviewWnd.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/preview/PreviewCaptions.h"
#include "app/preview/PreviewLoader.h"
#include "platform/qt/QtText.h"
#include "readme/ReadmeHtml.h"
#include "text/Cp1251.h"

namespace {

constexpr std::string_view kEngineMissing = "Предпросмотр недоступен: нет браузерного движка (Qt WebEngine). "_cp;
constexpr std::string_view kEngineMissingHint = "Проверки справа работают."_cp;
constexpr std::string_view kEngineStopped =
    "Предпросмотр остановился: процесс браузерного движка завершился. Страница вернётся при следующем изменении формы."_cp;

}  // namespace

CPreviewWnd::CPreviewWnd(const TemplatePackage& package, PreviewCapture capture, QWidget* owner)
    : QWidget(owner, Qt::Window), m_package(package), m_capture(std::move(capture)), m_resources(package) {
    setWindowTitle(ToQString(kPreviewTitle));
    setObjectName(QStringLiteral("preview"));

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    auto* page = new QWidget(splitter);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    m_engineLine = new QLabel(page);
    m_engineLine->setObjectName(QStringLiteral("engineLine"));
    m_engineLine->setWordWrap(true);
    pageLayout->addWidget(m_engineLine);

    const preview::Module& module = preview::LoadModule();
    if (module.ok()) m_view.reset(module.createView(preview::kInterfaceVersion, page));
    if (m_view) {
        m_engineLine->hide();
        m_view->SetResolver(m_resources.Resolver());
        m_view->SetLoadedCallback([this](bool ok) { OnLoaded(ok); });
        m_view->SetFailedCallback([this](const std::string& why) { OnEngineFailed(why); });
        pageLayout->addWidget(m_view->widget(), 1);
    } else {
        // One line for the user; what the loader said, for whoever helps them.
        m_engineLine->setText(ToQString(kEngineMissing) + ToQString(kEngineMissingHint));
        m_engineLine->setToolTip(QString::fromStdString(
            module.ok() ? "the engine cannot start: its QtWebEngineProcess is not found" : module.error));
        m_engineLine->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        pageLayout->addStretch(1);
    }

    auto* side = new QWidget(splitter);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(new QLabel(ToQString(kChecksTitle), side));
    m_checkList = new QListWidget(side);
    m_checkList->setObjectName(QStringLiteral("checks"));
    m_checkList->setWordWrap(true);
    sideLayout->addWidget(m_checkList, 1);
    connect(m_checkList, &QListWidget::itemActivated, this, &CPreviewWnd::OnCheckActivated);
    connect(m_checkList, &QListWidget::itemClicked, this, &CPreviewWnd::OnCheckActivated);
    m_keepLineBreaks = new QPushButton(ToQString(kKeepLineBreaksOffer), side);
    m_keepLineBreaks->setObjectName(QStringLiteral("keepLineBreaks"));
    m_keepLineBreaks->setEnabled(false);
    sideLayout->addWidget(m_keepLineBreaks);
    connect(m_keepLineBreaks, &QPushButton::clicked, this, [this] {
        if (m_onOfferTaken) m_onOfferTaken(CheckOffer::KeepLineBreaks);
    });

    splitter->addWidget(page);
    splitter->addWidget(side);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    // The page takes three quarters from the start, whatever the list asks.
    splitter->setSizes({3000, 1000});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { UpdateNow(); });
}

CPreviewWnd::~CPreviewWnd() {
    // The engine's page goes while its widgets still stand.
    m_view.reset();
}

void CPreviewWnd::FormChanged() {
    m_dirty = true;
    Schedule();
}

void CPreviewWnd::Schedule() {
    // A load the engine never finishes (its process gone) holds back no
    // change for long.
    if (m_loading && m_sinceLoad.elapsed() > kLoadGiveUpMs) m_loading = false;
    if (!isVisible() || !m_dirty || m_loading) return;
    // The first change after a quiet spell shows at once; while the user
    // types, one load every kMinIntervalMs takes in all that came between.
    const qint64 since = m_sinceLoad.isValid() ? m_sinceLoad.elapsed() : kMinIntervalMs;
    const int wait = since >= kMinIntervalMs ? 0 : static_cast<int>(kMinIntervalMs - since);
    if (!m_timer.isActive() || m_timer.remainingTime() > wait) m_timer.start(wait);
}

void CPreviewWnd::UpdateNow() {
    m_timer.stop();
    m_dirty = false;
    PreviewSnapshot snapshot = m_capture();
    m_checks.Update(snapshot);
    ShowChecks();
    if (!m_view) return;
    Text html = BuildReadmeHtml(snapshot.form, m_package);
    m_resources.SetForm(snapshot.form, std::move(snapshot.baseFolder));
    // The Database page, say, changes no byte of the readme: the page stays.
    if (html == m_shownHtml && m_sinceLoad.isValid()) return;
    m_shownHtml = html;
    m_loading = true;
    m_sinceLoad.start();
    m_view->SetDocument(std::move(html));
}

void CPreviewWnd::OnLoaded(bool ok) {
    m_loading = false;
    if (ok) m_engineLine->hide();
    if (m_afterLoad) m_afterLoad();
    Schedule();
}

void CPreviewWnd::OnEngineFailed(const std::string& why) {
    // The form is not touched; the next change loads the page anew, in a
    // new process of the engine's.
    m_loading = false;
    m_shownHtml.clear();
    m_engineLine->setText(ToQString(kEngineStopped));
    m_engineLine->setToolTip(QString::fromStdString(why));
    m_engineLine->show();
}

void CPreviewWnd::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_dirty) Schedule();
}

void CPreviewWnd::ShowChecks() {
    m_keepLineBreaks->setEnabled(m_checks.Offers(CheckOffer::KeepLineBreaks));
    m_checkList->clear();
    const std::vector<Text> lines = m_checks.Lines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto* item = new QListWidgetItem(ToQString(lines[i]), m_checkList);
        if (m_checks.checks().empty())
            item->setFlags(Qt::ItemIsEnabled);  // nothing to fix: nothing to choose
        else
            item->setData(Qt::UserRole, static_cast<int>(i));
    }
}

void CPreviewWnd::OnCheckActivated(QListWidgetItem* item) {
    bool isCheck = false;
    const int line = item->data(Qt::UserRole).toInt(&isCheck);
    const CheckedField* field = isCheck ? m_checks.FieldOfLine(line) : nullptr;
    if (field && m_onFieldChosen) m_onFieldChosen(*field);
}
