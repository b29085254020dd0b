// The main window: initialisation, system menu, painting when minimised, the
// About window and the benchmark run behind "BENCHMARK NOW!".
#include "app/MainDialog.h"

#include <optional>
#include <vector>

#include "app/BenchApp.h"
#include "app/InstallLookup.h"
#include "app/InstallPaths.h"
#include "app/RunMessages.h"
#include "bench/BenchOptions.h"
#include "bench/LogValue.h"
#include "bench/SceneRunner.h"
#include "framework/Application.h"
#include "framework/Format.h"
#include "framework/Handles.h"
#include "framework/TextFile.h"
#include "res/resource.h"
#include "sysinfo/MachineFacts.h"
#include "sysinfo/SystemInfo.h"
#include "ui/AboutDialog.h"
#include "ui/ResultDialog.h"

namespace app {

namespace {

// Length in characters of a scene's command line that did not fit: the template
// without its three "%s", plus the three values.
std::size_t CommandLineLength(const bench::SceneRow& scene, const std::string& gameExecutable,
                              const std::string& iniArguments, const std::string& resolutionText) {
    return std::string(scene.commandLineTemplate).size() - 6 + gameExecutable.size() + iniArguments.size() +
           resolutionText.size();
}

} // namespace

MainDialog::MainDialog(HWND /*parent*/)
    : Dialog(IDD_MAIN),
      windowIcon(::LoadIconA(framework::Application::ResourceModule(), MAKEINTRESOURCEA(IDI_WINDOW))) {}

bool MainDialog::OnInitDialog() {
    framework::Application::Instance()->SetMainWindow(Window());
    AddAboutItem();

    ::SendMessageA(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowIcon));
    ::SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(windowIcon));

    for (const int id :
         {IDC_MAIN_RES_1024, IDC_MAIN_DETAIL_HIGH, IDC_MAIN_DIRECT3D, IDC_MAIN_FLYBY1, IDC_MAIN_FLYBY2,
          IDC_MAIN_FLYBY3, IDC_MAIN_BOTMATCH1, IDC_MAIN_BOTMATCH2, IDC_MAIN_BOTMATCH3}) {
        ::SendMessageA(Item(id), BM_SETCHECK, BST_CHECKED, 0);
    }

    // The result window is modeless and has no parent; it stays hidden until a run shows it.
    theResultDialog.Create();

    FillMachineFacts();

    LookUpGameInstallation(Window());

    for (float& fps : sceneFps) {
        fps = 0.0f;
    }
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
    cpuInfo.MeasureClock();
    const sysinfo::CpuDescription& description = sysinfo::TheCpuDescription();
    SetItemText(IDC_MAIN_PROCESSOR, description.processorName);
    SetItemText(IDC_MAIN_FREQUENCY, sysinfo::FrequencyText(description.clockMhz));
    SetItemText(IDC_MAIN_CACHE, sysinfo::CacheText(cpuInfo));
    SetItemText(IDC_MAIN_RAM, sysinfo::RamText(sysinfo::TotalPhysicalMemoryBytes()));
    const sysinfo::SystemInfo systemInfo;
    SetItemText(IDC_MAIN_OS_NAME, systemInfo.osName);
    SetItemText(IDC_MAIN_VIDEO_CARD, systemInfo.adapterDescription);
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
    MessageBox(text, kErrorCaption, MB_OK | MB_ICONSTOP);
}

// "BENCHMARK NOW!": the whole run, on this thread; the window does not respond meanwhile.
void MainDialog::OnBenchmarkNow() {
    ::SetPriorityClass(::GetCurrentProcess(), bench::kOwnPriorityClass);

    std::string resolutionText;
    for (const bench::ResolutionRow& row : bench::ResolutionTable()) {
        if (IsChecked(row.controlId)) {
            resolutionText = row.text;
            break;
        }
    }

    char currentDirectory[bench::kCurrentDirectoryBytes] = {};
    const DWORD directoryLength = ::GetCurrentDirectoryA(sizeof currentDirectory, currentDirectory);
    const bool directoryFits = directoryLength > 0 && directoryLength < sizeof currentDirectory;

    const bench::Renderer renderer =
        IsChecked(IDC_MAIN_OPENGL) ? bench::Renderer::OpenGL : bench::Renderer::Direct3D;
    const bench::Detail detail = IsChecked(IDC_MAIN_DETAIL_HIGH) ? bench::Detail::High : bench::Detail::Low;
    const std::string iniArguments =
        bench::FormatIniArguments(renderer, detail, directoryFits ? currentDirectory : "");

    // Every chosen scene's line is composed before the first game starts, so a line
    // that does not fit stops the press before anything has run.
    const InstallPaths& install = GameInstall();
    struct ChosenScene {
        int index;
        std::string commandLine;
    };
    std::vector<ChosenScene> chosen;
    for (const bench::SceneRow& scene : bench::SceneTable()) {
        if (!IsChecked(scene.checkBoxId)) {
            continue;
        }
        if (!directoryFits) {
            std::vector<char> fullDirectory(32768, '\0');
            ::GetCurrentDirectoryA(static_cast<DWORD>(fullDirectory.size()), fullDirectory.data());
            ShowError(framework::Format(kFolderTooLongFormat, fullDirectory.data()));
            return;
        }
        std::optional<std::string> line =
            bench::ComposeCommandLine(scene, install.gameExecutable, iniArguments, resolutionText);
        if (!line) {
            ShowError(framework::Format(kLineTooLongFormat, scene.checkBoxText,
                                        static_cast<unsigned>(CommandLineLength(
                                            scene, install.gameExecutable, iniArguments, resolutionText))));
            return;
        }
        chosen.push_back({scene.index, std::move(*line)});
    }

    if (chosen.empty()) {
        MessageBox(kNoSceneText, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }

    bench::SceneRun run;
    for (const ChosenScene& scene : chosen) {
        if (!RunScene(scene.index, scene.commandLine, run)) {
            return;
        }
    }
    PresentResults(run);
}

bool MainDialog::RunScene(int sceneIndex, const std::string& commandLine, bench::SceneRun& run) {
    const InstallPaths& install = GameInstall();
    const std::string logPath = bench::LogPathFor(install.gameFolder);
    const bench::LogStamp before = bench::StampLog(logPath);

    std::string reason;
    if (!bench::RunGameAndWait(install.gameExecutable, commandLine, install.systemFolder, reason)) {
        ShowError(framework::Format(kGameNotStartedFormat, install.gameExecutable.c_str(), reason.c_str()));
        return false;
    }

    // A log the game did not touch holds an older run's number, never this scene's.
    const bench::LogStamp after = bench::StampLog(logPath);
    if (after.exists && after == before) {
        const char* sceneText = bench::SceneTable()[static_cast<std::size_t>(sceneIndex)].checkBoxText;
        ShowError(framework::Format(kNoNewResultFormat, sceneText, logPath.c_str()));
        return false;
    }

    try {
        framework::TextFileReader log(logPath);
        const double value = bench::ExtractSceneFps(bench::ReadLastLine(log));
        run.RecordScene(sceneFps, sceneIndex, value);
        log.Close();
    } catch (const framework::FileError& error) {
        ShowError(framework::Format(kLogUnreadableFormat, error.Path().c_str(), error.Cause().c_str()));
        return false;
    }
    ::Sleep(bench::kScenePauseMs);
    return true;
}

void MainDialog::PresentResults(const bench::SceneRun& run) {
    const bench::ResultTexts texts = bench::FormatResultTexts(run);
    theResultDialog.SetItemText(IDC_RESULT_SCORE, texts.score);
    theResultDialog.SetItemText(IDC_RESULT_FLYBY, texts.flybyAverage);
    theResultDialog.SetItemText(IDC_RESULT_BOTMATCH, texts.botmatchAverage);
    theResultDialog.Show(SW_SHOWNORMAL);
    theResultDialog.sceneResults = sceneFps;
    theResultDialog.allScenesRun = run.AllScenesRun() ? 1 : 0;
    theResultDialog.CenterWindow();
}

} // namespace app
