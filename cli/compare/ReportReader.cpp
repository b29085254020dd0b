// Reports read back with nlohmann-json, member by member.
#include "cli/compare/ReportReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "bench/LogValue.h"
#include "framework/Format.h"

namespace cli {

namespace {

// The longest time-out a plan may carry: a day.
constexpr long long kLongestTimeoutSeconds = 24LL * 60 * 60;

using nlohmann::json;

// What is wrong with a report, as the problem says it.
class Refused : public std::runtime_error {
public:
    explicit Refused(const std::string& problem) : std::runtime_error(problem) {}
};

// A text of the report in a message: at most 40 characters of it, quoted.
std::string Quoted(const std::string& text) {
    return "\"" + (text.size() > 40 ? text.substr(0, 40) + "..." : text) + "\"";
}

// How deep `text` nests its arrays and objects, counted without parsing it (and
// without recursion); strings are passed over.
int NestingDepth(const std::string& text) {
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (inString) {
            at += c == '\\' ? 1 : 0;
            inString = c != '"';
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

// One value of the document with its place in it ("configurations[0].runs[3].fps").
class Member {
public:
    Member(const json& value, std::string path) : value_(value), path_(std::move(path)) {}

    const json& Value() const { return value_; }
    const std::string& Path() const { return path_; }
    bool IsNull() const { return value_.is_null(); }

    // The member `key` of this object, which must have it.
    Member operator[](const char* key) const {
        Expect(value_.is_object(), "an object");
        const auto found = value_.find(key);
        if (found == value_.end()) {
            throw Refused(framework::Format("%s has no member \"%s\"", Where().c_str(), key));
        }
        return Member(*found, Child(key));
    }
    bool Has(const char* key) const { return value_.is_object() && value_.contains(key); }

    // The elements of this array, which must hold from `least` to `most` of them.
    std::vector<Member> Items(std::size_t least = 0, std::size_t most = static_cast<std::size_t>(-1)) const {
        Expect(value_.is_array(), "an array");
        if (value_.size() < least || value_.size() > most) {
            const std::string allowed = most == static_cast<std::size_t>(-1)
                                            ? framework::Format("%zu or more", least)
                                            : framework::Format("%zu to %zu", least, most);
            throw Refused(framework::Format("its member %s holds %zu elements, not %s", path_.c_str(),
                                            value_.size(), allowed.c_str()));
        }
        std::vector<Member> items;
        for (std::size_t i = 0; i < value_.size(); ++i) {
            items.emplace_back(value_[i], framework::Format("%s[%zu]", path_.c_str(), i));
        }
        return items;
    }

    std::string String() const {
        Expect(value_.is_string(), "a string");
        return value_.get<std::string>();
    }
    std::optional<std::string> StringOrNull() const {
        return value_.is_null() ? std::nullopt : std::optional<std::string>(String());
    }
    bool Bool() const {
        Expect(value_.is_boolean(), "true or false");
        return value_.get<bool>();
    }
    // A finite number, at least `low`.
    double Number(double low = -HUGE_VAL) const {
        Expect(value_.is_number(), "a number");
        const double number = value_.get<double>();
        if (!std::isfinite(number) || number < low) {
            throw Refused(
                framework::Format("its member %s is %s, not a number from %g on", path_.c_str(),
                                  std::isfinite(number) ? Text(number).c_str() : "beyond any double", low));
        }
        return number;
    }
    std::optional<double> NumberOrNull(double low = -HUGE_VAL) const {
        return value_.is_null() ? std::nullopt : std::optional<double>(Number(low));
    }
    // A whole number from `low` to `high`, both below 2^53 (1.0 is whole, as the schema counts it).
    long long Integer(long long low, long long high) const {
        Expect(value_.is_number(), "a number");
        const double number = value_.get<double>();
        if (!std::isfinite(number) || std::floor(number) != number || number < static_cast<double>(low) ||
            number > static_cast<double>(high)) {
            throw Refused(framework::Format("its member %s is %s, not a whole number from %lld to %lld",
                                            path_.c_str(), Shown().c_str(), low, high));
        }
        return static_cast<long long>(number);
    }
    // One of `names`: its place among them.
    std::size_t OneOf(std::initializer_list<const char*> names) const {
        std::string listed;
        std::size_t index = 0;
        for (const char* name : names) {
            if (value_.is_string() && value_.get<std::string>() == name) {
                return index;
            }
            listed += (listed.empty() ? "" : ", ") + std::string(name);
            ++index;
        }
        throw Refused(framework::Format("its member %s is %s, not one of %s", path_.c_str(), Shown().c_str(),
                                        listed.c_str()));
    }

private:
    std::string Child(const char* key) const { return path_.empty() ? key : path_ + "." + key; }
    std::string Where() const { return path_.empty() ? "it" : "its member " + path_; }
    static std::string Text(double number) { return framework::Format("%.10g", number); }

    // The value as a message may show it: never more than a few dozen characters.
    std::string Shown() const {
        switch (value_.type()) {
        case json::value_t::string:
            return Quoted(value_.get<std::string>());
        case json::value_t::number_integer:
        case json::value_t::number_unsigned:
        case json::value_t::number_float:
            return Text(value_.get<double>());
        case json::value_t::boolean:
            return value_.get<bool>() ? "true" : "false";
        case json::value_t::null:
            return "null";
        case json::value_t::array:
            return "an array";
        case json::value_t::object:
            return "an object";
        default:
            return "a value";
        }
    }

    void Expect(bool holds, const char* what) const {
        if (!holds) {
            throw Refused(framework::Format("%s is %s, not %s", Where().c_str(), Shown().c_str(), what));
        }
    }

    const json& value_;
    std::string path_;
};

constexpr const char* kStatusNames[] = {
    "ok", "no-number", "game-not-started", "no-new-result", "log-unreadable", "timed-out", "stopped"};
constexpr bench::SceneStatus kStatuses[] = {
    bench::SceneStatus::Recorded,    bench::SceneStatus::NoNumber,      bench::SceneStatus::GameNotStarted,
    bench::SceneStatus::NoNewResult, bench::SceneStatus::LogUnreadable, bench::SceneStatus::TimedOut,
    bench::SceneStatus::Stopped};

int SceneIndex(const Member& member) {
    return static_cast<int>(member.Integer(0, bench::kSceneCount - 1));
}

void CheckSceneName(const Member& member, int scene) {
    if (member.String() != SceneOf(scene).checkBoxText) {
        throw Refused(framework::Format("its member %s is %s, not scene %d's name", member.Path().c_str(),
                                        Quoted(member.String()).c_str(), scene));
    }
}

bench::Renderer ReadRenderer(const Member& member) {
    return member.OneOf({RendererNames()[0].name, RendererNames()[1].name}) == 0 ? RendererNames()[0].value
                                                                                 : RendererNames()[1].value;
}

bench::Detail ReadDetail(const Member& member) {
    return member.OneOf({DetailNames()[0].name, DetailNames()[1].name}) == 0 ? DetailNames()[0].value
                                                                             : DetailNames()[1].value;
}

std::string ReadResolution(const Member& member) {
    const auto& table = bench::ResolutionTable();
    return table[member.OneOf({table[0], table[1], table[2], table[3], table[4]})];
}

void ReadSpread(const Member& spread) {
    spread["count"].Integer(0, 1LL << 40);
    spread["mean"].NumberOrNull();
    spread["standardDeviation"].NumberOrNull(0.0);
    if (spread.Has("variationPercent")) {
        spread["variationPercent"].NumberOrNull(0.0);
    }
}

class Reader {
public:
    explicit Reader(const TextConverter& fromUtf8) : fromUtf8_(fromUtf8) {}

    std::string Text(const Member& member) const {
        const std::string text = member.String();
        return fromUtf8_ ? fromUtf8_(text) : text;
    }
    std::string TextOrEmpty(const Member& member) const {
        return member.IsNull() ? std::string() : Text(member);
    }

    // One configuration's body: version 1's document, or an element of "configurations".
    void ReadConfiguration(const Member& body, ReportFile& file, RunPlan& plan) const {
        file.call.configurations.emplace_back();
        ConfigurationReport& report = file.call.configurations.back();
        const Member options = body["options"];
        report.configuration = {ReadRenderer(options["renderer"]), ReadDetail(options["detail"]),
                                ReadResolution(options["resolution"])};
        plan.scenes = {};
        for (const Member& scene : options["scenes"].Items(1, bench::kSceneCount)) {
            plan.scenes[static_cast<std::size_t>(SceneIndex(scene))] = true;
        }
        plan.runs = static_cast<int>(options["runs"].Integer(1, 100));
        plan.timeoutSeconds = static_cast<int>(options["timeoutSeconds"].Integer(1, kLongestTimeoutSeconds));
        plan.maxVariationPercent = options["maxVariationPercent"].Number(0.0);
        report.composeMessage = TextOrEmpty(body["composeError"]);

        for (const Member& line : body["commandLines"].Items(0, bench::kSceneCount)) {
            const int scene = SceneIndex(line["scene"]);
            CheckSceneName(line["name"], scene);
            report.commandLines.push_back({scene, Text(line["commandLine"])});
        }
        for (const Member& run : body["runs"].Items()) {
            report.runs.push_back(ReadRun(run, report));
        }
        for (const Member& scene : body["scenes"].Items(0, bench::kSceneCount)) {
            CheckSceneName(scene["name"], SceneIndex(scene["scene"]));
            scene["kind"].OneOf({"flyby", "botmatch"});
            scene["runs"].Integer(0, 1LL << 40);
            scene["results"].Integer(0, 1LL << 40);
            ReadSpread(scene["fps"]);
            scene["extraRuns"].Bool();
            scene["stillVaries"].Bool();
            if (!scene["randSeedsDiffer"].IsNull()) {
                scene["randSeedsDiffer"].Bool();
            }
        }
        const Member score = body["score"];
        file.recordedScores.emplace_back();
        for (const Member& set : score["sets"].Items()) {
            set["round"].Integer(1, 1LL << 40);
            set["flybyAverage"].NumberOrNull();
            set["botmatchAverage"].NumberOrNull();
            if (const std::optional<double> korvanes = set["korvanes"].NumberOrNull()) {
                file.recordedScores.back().push_back(*korvanes);
            }
        }
        for (const char* spread : {"korvanes", "flybyAverage", "botmatchAverage"}) {
            ReadSpread(score[spread]);
        }
        report.stopped = body["stopped"].Bool();
        body["exitStatus"].Integer(0, 3);
    }

    // Version 3's adapter: its driver and PCI ids, or null.
    std::optional<sysinfo::AdapterIdentity> ReadAdapter(const Member& member) const {
        if (member.IsNull()) {
            return std::nullopt;
        }
        sysinfo::AdapterIdentity adapter;
        adapter.driver = Text(member["driver"]);
        adapter.driverVersion = Text(member["driverVersion"]);
        adapter.vendorId = Hex(member["vendorId"], 4);
        adapter.deviceId = Hex(member["deviceId"], 4);
        adapter.subsystemId = Hex(member["subsystemId"], 8);
        adapter.revision = static_cast<std::uint32_t>(member["revision"].Integer(0, 4294967295LL));
        return adapter;
    }

    // Version 3's plan: what the whole call runs.
    RunPlan ReadPlan(const Member& member) const {
        RunPlan plan;
        plan.renderers.clear();
        plan.details.clear();
        plan.resolutions.clear();
        for (const Member& renderer : member["renderers"].Items(1, RendererNames().size())) {
            plan.renderers.push_back(ReadRenderer(renderer));
        }
        for (const Member& detail : member["details"].Items(1, DetailNames().size())) {
            plan.details.push_back(ReadDetail(detail));
        }
        for (const Member& resolution : member["resolutions"].Items(1, bench::ResolutionTable().size())) {
            plan.resolutions.push_back(ReadResolution(resolution));
        }
        plan.scenes = {};
        for (const Member& scene : member["scenes"].Items(1, bench::kSceneCount)) {
            plan.scenes[static_cast<std::size_t>(SceneIndex(scene))] = true;
        }
        plan.runs = static_cast<int>(member["runs"].Integer(1, 100));
        if (!member["timeoutSeconds"].IsNull()) {
            plan.timeoutSeconds =
                static_cast<int>(member["timeoutSeconds"].Integer(1, kLongestTimeoutSeconds));
        }
        plan.maxVariationPercent = member["maxVariationPercent"].Number(0.0);
        return plan;
    }

private:
    SceneAttempt ReadRun(const Member& member, ConfigurationReport& report) const {
        SceneAttempt run;
        run.sceneIndex = SceneIndex(member["scene"]);
        CheckSceneName(member["name"], run.sceneIndex);
        run.round = static_cast<int>(member["round"].Integer(1, 1LL << 30));
        run.attempt = static_cast<int>(member["attempt"].Integer(1, 1LL << 30));
        // The runs stand in the order they ran: rounds one after the other, each
        // scene's attempts counted.
        int earlier = 0;
        for (const SceneAttempt& before : report.runs) {
            earlier += before.sceneIndex == run.sceneIndex ? 1 : 0;
        }
        if (run.attempt != earlier + 1 || (!report.runs.empty() && run.round < report.runs.back().round)) {
            throw Refused(framework::Format("its member %s is not in the order the runs before it make",
                                            member.Path().c_str()));
        }
        run.status = kStatuses[member["status"].OneOf({kStatusNames[0], kStatusNames[1], kStatusNames[2],
                                                       kStatusNames[3], kStatusNames[4], kStatusNames[5],
                                                       kStatusNames[6]})];
        run.seconds = member["seconds"].Number(0.0);
        const std::optional<double> fps = member["fps"].NumberOrNull();
        const std::optional<std::string> lastLine = member["lastLine"].StringOrNull();
        run.message = TextOrEmpty(member["message"]);
        const Member engine = member["engineLine"];
        if (!engine.IsNull()) {
            for (const char* value : {"minFps", "avgFps", "maxFps", "score"}) {
                engine[value].NumberOrNull();
            }
            engine["rand"].Integer(0, 4294967295LL);
        }
        if (LogWasRead(run)) {
            if (!fps || !lastLine) {
                throw Refused(
                    framework::Format("its member %s says the log was read, but has no fps or lastLine",
                                      member.Path().c_str()));
            }
            run.lastLine = fromUtf8_ ? fromUtf8_(*lastLine) : *lastLine;
            run.reading = ReadLastLineValues(run.lastLine);
            run.reading.fps = *fps;
            // The window's arithmetic of the run's round, as the call fed it.
            report.sets.resize(std::max(report.sets.size(), static_cast<std::size_t>(run.round)));
            report.sets[static_cast<std::size_t>(run.round - 1)].RecordScene(run.sceneIndex, *fps);
        }
        return run;
    }

    // `digits` hexadecimal digits.
    static std::uint32_t Hex(const Member& member, std::size_t digits) {
        const std::string text = member.String();
        std::uint32_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
        if (text.size() != digits || error != std::errc() || end != text.data() + text.size()) {
            throw Refused(framework::Format("its member %s is %s, not %zu hexadecimal digits",
                                            member.Path().c_str(), Quoted(text).c_str(), digits));
        }
        return value;
    }

    const TextConverter& fromUtf8_;
};

} // namespace

std::optional<ReportFile> ReadReport(const std::string& text, std::string& problem,
                                     const TextConverter& fromUtf8) {
    if (NestingDepth(text) > kMaxReportNesting) {
        problem = framework::Format("it nests its values deeper than any report (more than %d levels)",
                                    kMaxReportNesting);
        return std::nullopt;
    }
    const json document = json::parse(text, nullptr, false);
    if (document.is_discarded()) {
        problem = "it is not JSON";
        return std::nullopt;
    }
    if (!document.is_object() || !document.contains("format") ||
        document.at("format") != "korvane-cli report") {
        problem = "it is no korvane-cli report (its \"format\" is not \"korvane-cli report\")";
        return std::nullopt;
    }
    try {
        const Member root(document, "");
        ReportFile file;
        const Member version = root["formatVersion"];
        if (!version.Value().is_number_integer() || version.Value().get<long long>() < 1 ||
            version.Value().get<long long>() > 3) {
            problem = "its formatVersion is not one this program reads (1, 2 or 3)";
            return std::nullopt;
        }
        file.formatVersion = static_cast<int>(version.Value().get<long long>());
        const Reader reader(fromUtf8);
        CallReport& call = file.call;
        call.korvaneVersion = reader.Text(root["korvaneVersion"]);
        const Member machine = root["machine"];
        call.machine = {reader.Text(machine["processor"]), reader.Text(machine["frequency"]),
                        reader.Text(machine["cache"]),     reader.Text(machine["ramSize"]),
                        reader.Text(machine["osName"]),    reader.Text(machine["videoCard"])};
        const Member game = root["game"];
        call.game = {reader.Text(game["folder"]), reader.Text(game["executable"]),
                     reader.Text(game["workingDirectory"]), reader.Text(game["log"])};
        RunPlan plan;
        plan.renderers.clear();
        plan.details.clear();
        plan.resolutions.clear();
        const auto addOnce = [](auto& values, const auto& value) {
            if (std::find(values.begin(), values.end(), value) == values.end()) {
                values.push_back(value);
            }
        };
        if (file.formatVersion == 1) {
            reader.ReadConfiguration(root, file, plan);
        } else {
            for (const Member& body : root["configurations"].Items(file.formatVersion == 2 ? 1 : 0)) {
                reader.ReadConfiguration(body, file, plan);
            }
        }
        for (const ConfigurationReport& report : call.configurations) {
            addOnce(plan.renderers, report.configuration.renderer);
            addOnce(plan.details, report.configuration.detail);
            addOnce(plan.resolutions, report.configuration.resolution);
        }
        call.plan = plan;
        call.complete = true;
        if (file.formatVersion == 3) {
            call.startedAt = reader.Text(root["startedAt"]);
            call.complete = root["complete"].Bool();
            call.plan = reader.ReadPlan(root["plan"]);
            // The configurations begun are the first of the plan's, in its order, with its scenes and runs.
            const std::vector<Configuration> planned = Configurations(call.plan);
            for (std::size_t i = 0; i < call.configurations.size(); ++i) {
                if (i >= planned.size() || !(call.configurations[i].configuration == planned[i]) ||
                    plan.scenes != call.plan.scenes || plan.runs != call.plan.runs) {
                    throw Refused(framework::Format("its member configurations[%zu] is not the one its plan "
                                                    "runs there",
                                                    i));
                }
            }
            call.adapter = reader.ReadAdapter(root["adapter"]);
            const Member files = root["files"];
            call.files.csv = reader.TextOrEmpty(files["csv"]);
            call.files.html = reader.TextOrEmpty(files["html"]);
        }
        root["stopped"].Bool();
        root["exitStatus"].Integer(0, 3);
        return file;
    } catch (const Refused& refused) {
        problem = "it does not hold what a report holds: " + std::string(refused.what());
        return std::nullopt;
    }
}

ReportValues ValuesOf(const ReportFile& report) {
    ReportValues values;
    for (std::size_t i = 0; i < report.call.configurations.size(); ++i) {
        const ConfigurationReport& configuration = report.call.configurations[i];
        ConfigurationValues entry;
        entry.configuration = configuration.configuration;
        for (int scene = 0; scene < bench::kSceneCount; ++scene) {
            const std::vector<double> fps = ResultValues(configuration, scene);
            if (!fps.empty()) {
                entry.sceneFps[scene] = fps;
            }
        }
        entry.scores = report.recordedScores[i];
        values.configurations.push_back(entry);
    }
    return values;
}

std::optional<ReportValues> ReadReportValues(const std::string& text, std::string& problem) {
    const std::optional<ReportFile> report = ReadReport(text, problem);
    return report ? std::optional<ReportValues>(ValuesOf(*report)) : std::nullopt;
}

} // namespace cli
