// The main window: initialisation, system menu, painting when minimised, the
// About window and the benchmark run behind "BENCHMARK NOW!".
#include "app/MainDialog.h"

#include <iterator>
#include <type_traits>

#include "app/BenchApp.h"
#include "app/InstallLookup.h"
#include "app/InstallPaths.h"
#include "bench/BenchOptions.h"
#include "bench/BenchmarkRun.h"
#include "bench/RunMessages.h"
#include "bench/GameProcess.h"
#include "framework/Application.h"
#include "framework/Format.h"
#include "framework/Handles.h"
#include "res/resource.h"
#include "sysinfo/MachineFacts.h"
#include "sysinfo/SystemInfo.h"
#include "ui/AboutDialog.h"
#include "ui/ResultDialog.h"

namespace app {

namespace {

// The resolution radios, in the order of bench::ResolutionTable().
constexpr int kResolutionRadios[] = {IDC_MAIN_RES_640, IDC_MAIN_RES_800, IDC_MAIN_RES_1024, IDC_MAIN_RES_1280,
                                     IDC_MAIN_RES_1600};
static_assert(std::size(kResolutionRadios) ==
              std::tuple_size_v<std::decay_t<decltype(bench::ResolutionTable())>>);

// The scene check boxes, by scene index.
constexpr int kSceneCheckBoxes[bench::kSceneCount] = {IDC_MAIN_FLYBY1,    IDC_MAIN_FLYBY2,
                                                      IDC_MAIN_FLYBY3,    IDC_MAIN_BOTMATCH1,
                                                      IDC_MAIN_BOTMATCH2, IDC_MAIN_BOTMATCH3};

} // namespace

MainDialog::MainDialog()
    : Dialog(IDD_MAIN),
      windowIcon(::LoadIconA(framework::Application::ResourceModule(), MAKEINTRESOURCEA(IDI_WINDOW))) {}

bool MainDialog::OnInitDialog() {
    AddAboutItem();

    ::SendMessageA(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowIcon));
    ::SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(windowIcon));

    for (const int id :
         {IDC_MAIN_RES_1024, IDC_MAIN_DETAIL_HIGH, IDC_MAIN_DIRECT3D, IDC_MAIN_FLYBY1, IDC_MAIN_FLYBY2,
          IDC_MAIN_FLYBY3, IDC_MAIN_BOTMATCH1, IDC_MAIN_BOTMATCH2, IDC_MAIN_BOTMATCH3}) {
        SetCheck(id, true);
    }

    // The result window is modeless and has no parent; it stays hidden until a run shows it.
    theResultDialog.Create();

    FillMachineFacts();

    LookUpGameInstallation(Window());

    results.sceneFps.fill(0.0f);
    return true;
}

void MainDialog::AddAboutItem() {
    HMENU systemMenu = ::GetSystemMenu(Window(), FALSE);
    if (systemMenu == nullptr) {
        return;
    }
    char text[256] = {};
    if (::LoadStringA(framework::Application::ResourceModule(), IDS_ABOUT_ITEM, text, sizeof text) > 0) {
        ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUT, text);
    }
}

void MainDialog::FillMachineFacts() {
    const sysinfo::MachineTexts texts = sysinfo::GatherMachineTexts(cpuInfo);
    SetItemText(IDC_MAIN_PROCESSOR, texts.processor);
    SetItemText(IDC_MAIN_FREQUENCY, texts.frequency);
    SetItemText(IDC_MAIN_CACHE, texts.cache);
    SetItemText(IDC_MAIN_RAM, texts.ramSize);
    SetItemText(IDC_MAIN_OS_NAME, texts.osName);
    SetItemText(IDC_MAIN_VIDEO_CARD, texts.videoCard);
}

bool MainDialog::OnCommand(int controlId, int notifyCode, HWND /*control*/) {
    if (notifyCode != BN_CLICKED) {
        return false;
    }
    switch (controlId) {
    case IDC_MAIN_BENCHMARK:
        OnBenchmarkNow();
        return true;
    case IDC_MAIN_CREDITS:
        OnCredits();
        return true;
    default:
        return false;
    }
}

bool MainDialog::OnMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/, LRESULT& result) {
    switch (message) {
    case WM_SYSCOMMAND:
        return OnSysCommand(wParam);
    case WM_PAINT:
        return OnPaint();
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<LRESULT>(windowIcon);
        return true;
    default:
        return false;
    }
}

bool MainDialog::OnSysCommand(WPARAM command) {
    if ((command & 0xFFF0) != IDM_ABOUT) {
        return false;
    }
    OnCredits();
    return true;
}

bool MainDialog::OnPaint() {
    if (!::IsIconic(Window())) {
        return false;
    }
    const framework::PaintDc dc(Window());
    ::SendMessageA(Window(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT client{};
    ::GetClientRect(Window(), &client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    ::DrawIcon(dc.Get(), x, y, windowIcon);
    return true;
}

void MainDialog::OnCredits() {
    ui::AboutDialog about;
    about.DoModal(Window());
}

void MainDialog::ShowError(const std::string& text) const {
    MessageBox(text, bench::kErrorCaption, MB_OK | MB_ICONSTOP);
}

// "BENCHMARK NOW!": the whole run, on this thread; the window does not respond meanwhile.
void MainDialog::OnBenchmarkNow() {
    bench::BeginPress();

    bench::PressOptions options;
    for (std::size_t i = 0; i < std::size(kResolutionRadios); ++i) {
        if (IsChecked(kResolutionRadios[i])) {
            options.resolutionText = bench::ResolutionTable()[i];
            break;
        }
    }
    options.renderer = IsChecked(IDC_MAIN_OPENGL) ? bench::Renderer::OpenGL : bench::Renderer::Direct3D;
    options.detail = IsChecked(IDC_MAIN_DETAIL_HIGH) ? bench::Detail::High : bench::Detail::Low;
    for (const bench::SceneRow& scene : bench::SceneTable()) {
        options.chosen[static_cast<std::size_t>(scene.index)] = IsChecked(kSceneCheckBoxes[scene.index]);
    }

    // Every chosen scene's line is composed before the first game starts, so a line
    // that does not fit stops the press before anything has run.
    const bench::ComposedPress press = bench::ComposePress(options, GameInstall().gameExecutable);
    switch (press.status) {
    case bench::ComposeStatus::Ready:
        break;
    case bench::ComposeStatus::NoSceneChosen:
        MessageBox(press.message, bench::kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    case bench::ComposeStatus::FolderTooLong:
    case bench::ComposeStatus::LineTooLong:
        ShowError(press.message);
        return;
    }

    results.StartPress();
    for (const bench::SceneLine& scene : press.scenes) {
        if (!RunScene(scene)) {
            return;
        }
    }
    PresentResults();
}

bool MainDialog::RunScene(const bench::SceneLine& scene) {
    const bench::SceneOutcome outcome = bench::RunScene(scene, InstalledGamePlaces(), results);
    if (!bench::ValueRecorded(outcome.status)) {
        ShowError(outcome.message);
        return false;
    }
    ::Sleep(bench::kScenePauseMs);
    return true;
}

void MainDialog::PresentResults() {
    const bench::ResultTexts texts = bench::FormatResultTexts(results);
    theResultDialog.SetItemText(IDC_RESULT_SCORE, texts.score);
    theResultDialog.SetItemText(IDC_RESULT_FLYBY, texts.flybyAverage);
    theResultDialog.SetItemText(IDC_RESULT_BOTMATCH, texts.botmatchAverage);
    theResultDialog.Show(SW_SHOWNORMAL);
    theResultDialog.sceneResults = results.sceneFps.data();
    theResultDialog.allScenesRun = results.AllScenesRun() ? 1 : 0;
    theResultDialog.CenterWindow();
}

} // namespace app
