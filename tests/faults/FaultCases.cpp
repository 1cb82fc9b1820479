#include "FaultCase.h"
#include "FakeHost.h"
#include "FaultSuite.h"
#include "TextFiles.h"

#include <QString>

#include <algorithm>
#include <filesystem>

namespace {
using Registry = FaultCase::Registry;
using CoreFile = FaultCase::CoreFile;
using Twist = FaultCase::Twist;

const char* const kRecord =
    R"({"appname":"Mirn6_QualityControl","version":"6.2.2.0","desc":"Charts",)"
    R"("title":"Quality Control","bits":64,"sp":0,"silent":0,"fsize":1048576,"opentime":0})";
const std::string kOurList = std::string("[") + kRecord + "]";
const char* const kOtherRecord =
    R"({"appname":"Mirn6_Reports","version":"2.0.0","bits":64,"sp":0,"silent":0,)"
    R"("fsize":4096,"opentime":0})";

const char* const kNoCoreInstance = "log: create core instance failed, ret 0x00000000";
const char* const kOurUpdate =
    "core#1: DruxClientUserid.DoUpdate appname=\"Mirn6_QualityControl\" bits=64 sink=1";
const char* const kReleased = "core#1: sink 1 Release";
const char* const kInstalled = "out: [0x*] install Mirn6_QualityControl. (bits 64) OK!";

const char* const kUserStop = "core#1: DruxClientUserid.Stop";
const char* const kNoUpdate = "!core: *.DoUpdate *";

const std::string kCannotUpdate =
    "host: info DruxClient_Userid::checkUpdate: DruxClient Mirn6_QualityControl(64): can not "
    "update: ";
const std::string kNothingNew = kCannotUpdate + "no new version";

std::string checkFailed(int code)
{
    return "host: error DruxClient_Userid::checkUpdate: DruxClient CheckUpdate failed: " +
           std::to_string(code);
}
const char* const kSkipped = "host: error ZubQualityControlServiceFactory::updateQualityControl: "
                             "ZubQualityControl update skipped: the host has no main form to "
                             "update for";
const char* const kNoKeyIn32BitView =
    "log: open qor key SOFTWARE\\Trevik\\QOR\\2.0 failed, error 2";

// `more`, and what the host logs when neither client flavour has a platform service.
std::vector<std::string> noService(std::vector<std::string> more)
{
    more.push_back("host: error DruxClient_Userid::start: DruxClientUserid Start failed: 1");
    more.push_back("host: error DruxClient::start: DruxClient Start failed: 1");
    return more;
}

// A check that offers `list` (JSON), with more members of the scenario after it.
std::string offering(const std::string& list, const std::string& more = "")
{
    return R"({"check":{"hasUpdate":1,"list":)" + list + "}" + (more.empty() ? "" : "," + more) +
           "}";
}

// A check that offers our record; `doUpdate`: the update's members and its closing brace.
std::string updating(const std::string& doUpdate)
{
    return offering(kOurList, R"("doUpdate":{)" + doUpdate);
}

// A list the client cannot read as JSON: the log shows how it begins.
std::vector<std::string> notJson(const std::string& shown, std::vector<std::string> more = {})
{
    more.insert(more.begin(), {"log: fatal error, invalid json format: " + shown, checkFailed(14)});
    return more;
}

// An update that the platform refuses with `code` ("null": it gives none).
FaultCase refusedUpdate(const std::string& code, const std::string& box)
{
    return FaultCase("update_refused_with_" + (code == "null" ? std::string("no_code") : code))
        .withScenario(updating(R"("status":1,"code":)" + code + "}"))
        .answering({"box: Pev " + box,
                    "host: error DruxClient_Userid::doUpdata: DruxClient DoUpdate failed: " +
                        (code == "null" ? std::string("-1") : code),
                    "out#1: kill myself", "out#1: destroy notifier", "log#1: KaNotifyProxy dtor",
                    "!core: sink * Release"});
}

// A list whose only record the host must not install.
FaultCase notInstalled(const std::string& name, const std::string& record)
{
    return FaultCase("list_first_record_" + name)
        .withScenario(offering("[" + record + "]"))
        .answering({"log: can update to 1 subapps", kNoUpdate, "!host: *"});
}

// A platform text as the sink prints it: in the system's ANSI code page, UTF-8
// on POSIX, 936 on our users' Windows, where the units it lacks become '?'.
std::string printed(std::initializer_list<char16_t> units)
{
    return QString::fromUtf16(units.begin(), static_cast<int>(units.size()))
        .toLocal8Bit()
        .toStdString();
}

// The same text as the host's log holds it: read back from the code page.
std::string shown(std::initializer_list<char16_t> units)
{
    return QString::fromLocal8Bit(printed(units).c_str()).toStdString();
}

// A check that reads its list from a file: the first `bytes` of about 100 MB,
// our record first, then other components'.
const size_t kBigListBytes = 100u << 20;

FaultCase withBigList(const std::string& name, size_t bytes)
{
    return FaultCase(name)
        .preparedBy([bytes](const std::string& folder) {
            std::string list = "[" + std::string(kRecord);
            while (list.size() < kBigListBytes)
                list += std::string(",") + kOtherRecord;
            writeFile(folder + "/list.json", (list + "]").substr(0, bytes));
        })
        .withScenario(R"({"check":{"hasUpdate":1,"listFile":"{dir}/list.json"}})")
        .within(240000);
}

size_t recordsInBigList()
{
    const size_t first = 1 + std::string(kRecord).size();
    const size_t step = 1 + std::string(kOtherRecord).size();
    return 1 + (kBigListBytes - first + step - 1) / step;
}

std::vector<FaultCase> makeCases()
{
    return {
        // Where the platform core should be
        FaultCase("path_in_both_views")
            .inRegistry(Registry::BothViews)
            .answering({"!log: *try 32 bits", "log: create IQORCore from qorcore OK", kNothingNew,
                        // The host's unload: the client, then the log, then the core library.
                        "core#1: Core.Release", "dbg#1: QORClient dtor", "dbg$: qorlog stop"}),
        FaultCase("key_missing_in_both_views")
            .inRegistry(Registry::Empty)
            .answering(noService(
                {"log: open qor key SOFTWARE\\Trevik\\QOR\\2.0 failed, error 2, try 32 bits",
                 kNoKeyIn32BitView, "log: read qor registry for path failed",
                 "log: create IDruxClientUserid failed, ret 0x80004005",
                 "log: create IDruxClient2 failed, ret 0x80004005", "!core: *"})),
        FaultCase("path_gone_without_32bit_key")
            .inRegistry(Registry::PathGone)
            .answering(noService({"log: file '{gone}' not exist, try 32 bits", kNoKeyIn32BitView,
                                  "log: read qor registry for path failed", "!core: *"})),
        FaultCase("path_gone_with_32bit_key")
            .inRegistry(Registry::PathGoneBut32Bit)
            .answering({"log: file '{gone}' not exist, try 32 bits",
                        "log: create IQORCore from qorcore OK", "core#1: DllGetClassObject *",
                        kNothingNew, "state: user action log service set 1 times"}),
        FaultCase("path_gone_in_both_views")
            .inRegistry(Registry::PathGoneInBothViews)
            .answering(noService({"log: file '{gone}' not exist, try 32 bits",
                                  "log: file '{gone}' not exist, fatal error", "!core: *"})),
        FaultCase("path_longer_than_read_buffer")
            .inRegistry(Registry::ValueTooLong)
            .answering(noService({"log: read qor key Path failed, error 234, try 32 bits",
                                  "log: read qor key Path failed, error 2", "!core: *"})),
        FaultCase("core_file_missing")
            .withCore(CoreFile::Missing)
            .answering(noService({"log: LoadLibrary failed, error 126, path *qor?x64?qorcore.dll",
                                  kNoCoreInstance, "!core: *"})),
        FaultCase("core_file_not_a_library")
            .withCore(CoreFile::NotALibrary)
            .answering(noService({"log: LoadLibrary failed, error 193, path *qor?x64?qorcore.dll",
                                  kNoCoreInstance})),
        FaultCase("core_without_class_object_entry")
            .withCore(CoreFile::WithoutEntry)
            .answering(noService({"log: get DllGetClassObject function failed", kNoCoreInstance})),
        FaultCase("class_object_failing")
            .withScenario(R"({"loader":{"classObject":"0x80004005"}})")
            .answering(noService({"log: create class factory failed, ret 0x80004005",
                                  kNoCoreInstance, "core#1: DllGetClassObject *"})),
        FaultCase("class_object_null")
            .withScenario(R"({"loader":{"nullClassObject":true}})")
            .answering(noService({"log: create IQORCore from qorcore OK",
                                  "log: create IDruxClientUserid failed, ret 0x80004005",
                                  "!core: ClassFactory.*"})),
        FaultCase("core_object_refused")
            .withScenario(R"({"loader":{"createCore":"0x8007000E"}})")
            .answering(noService({"log: create instance ret 0x8007000e", kNoCoreInstance})),

        // The platform's services
        FaultCase("user_service_refused_product_answers")
            .withScenario(R"({"user":{"create":"0x80004005"},"stop":{"status":1,"code":9}})")
            .answering(
                {"log: create IDruxClientUserid failed, ret 0x80004005",
                 "host: error DruxClient::stop: DruxClient Stop failed: 9",
                 "host: error DruxClient_Userid::start: DruxClientUserid Start failed: 1",
                 "host: info DruxClient::checkUpdate: DruxClient Mirn6_QualityControl(64): can not "
                 "update: no new version",
                 "core#1: DruxClient2.CheckUpdate", "core#1: DruxClient2.Stop"}),
        FaultCase("user_start_refused_product_updates")
            .withScenario(offering(kOurList, R"("user":{"start":{"status":1,"code":4}},)"
                                             R"("doUpdate":{"reports":[{"result":0}]})"))
            .answering({"host: error DruxClient_Userid::start: DruxClientUserid Start failed: 4",
                        "core#1: DruxClient2.DoUpdate appname=\"Mirn6_QualityControl\" bits=64 "
                        "sink=1",
                        kReleased, "core#1: DruxClient2.Stop", "!core: DruxClientUserid.Check*"}),
        FaultCase("both_services_refused")
            .withScenario(R"({"user":{"create":"0x80004005"},"product":{"create":"0x80040154"}})")
            .answering(
                noService({"log: create IDruxClient2 failed, ret 0x80040154", "!core: *.Start *"})),
        FaultCase("start_refused")
            .withScenario(R"({"start":{"status":1,"code":15}})")
            .answering({"host: error DruxClient_Userid::start: DruxClientUserid Start failed: 15",
                        "host: error DruxClient::start: DruxClient Start failed: 15",
                        "!core: *Check*", "!core: *.Stop"}),
        FaultCase("checks_busy_then_answering")
            .withScenario(R"({"check":{"busyChecks":3,"hasUpdate":1,"list":)" + kOurList +
                          R"(},"doUpdate":{"reports":[{"stage":4},{"result":0}]}})")
            .answering({"core#4: DruxClientUserid.CheckUpdateForUser user1=\"user-one\" "
                        "user2=\"user-two\"",
                        kOurUpdate, kReleased, "log: can update to 1 subapps", kInstalled,
                        "!host: *"}),
        FaultCase("checks_busy_for_good")
            .withScenario(R"({"check":{"busyChecks":1000000}})")
            .answering(
                {"core#50: DruxClientUserid.CheckUpdateForUser *",
                 "host: error DruxClient_Userid::checkUpdate: DruxClient CheckUpdate still busy "
                 "after 50 checks, giving up",
                 checkFailed(8), kUserStop}),
        FaultCase("check_failing_with_code")
            .withScenario(R"({"check":{"status":1,"code":-42},"stop":{"status":1,"code":9}})")
            .answering({checkFailed(-42),
                        "host: error DruxClient_Userid::stop: DruxClientUserid Stop failed: 9",
                        kUserStop, "!core: DruxClient2.Start *"}),
        FaultCase("no_update_with_reason")
            .withScenario(R"({"check":{"hasUpdate":0,"reason":"已是最新版本"}})")
            .answering({kCannotUpdate + "已是最新版本", "!core: DruxClient2.Start *",
                        "log: DruxClientUserid ctor", "log: DruxClient2 ctor",
                        "core#1: DruxClientUserid.Release", "dbg: DruxClientUserid dtor",
                        "!log: DruxClientUserid dtor"}),

        // The update list
        FaultCase("list_not_json")
            .withScenario(offering(R"("<html>busy</html>")"))
            .answering(notJson("<html>busy</html>, errmsg: *", {kNoUpdate})),
        FaultCase("list_empty")
            .withScenario(offering("[]"))
            .answering({"log: not an array object or empty array!", checkFailed(7)}),
        FaultCase("list_members_of_wrong_type")
            .withScenario(
                offering(R"([{"appname":"Mirn6_QualityControl","bits":"64","fsize":4096}])"))
            .answering(
                {"log: fatal error, invalid update list: element 0, 'bits' is not a 32-bit integer",
                 checkFailed(7), kNoUpdate}),
        FaultCase("list_first_record_for_another_component")
            .withScenario(offering(std::string("[") + kOtherRecord + "," + kRecord + "]"))
            .answering({"log: can update to 2 subapps", kNoUpdate, "!host: *"}),
        notInstalled("named_in_other_case",
                     R"({"appname":"mirn6_qualitycontrol","bits":64,"fsize":1})"),
        notInstalled("for_a_service_pack",
                     R"({"appname":"Mirn6_QualityControl","bits":64,"sp":1,"fsize":1})"),
        notInstalled("of_no_size", R"({"appname":"Mirn6_QualityControl","bits":64,"fsize":0})"),
        withBigList("list_of_100MB", std::string::npos)
            .answering({"log: can update to " + std::to_string(recordsInBigList()) + " subapps",
                        kOurUpdate, kReleased}),
        withBigList("list_of_100MB_cut_short", kBigListBytes - 7)
            .answering(notJson(std::string("[") + kRecord + ",*")),
        FaultCase("list_nested_100000_deep")
            .withScenario(
                offering("\"" + std::string(100000, '[') + std::string(100000, ']') + "\""))
            .answering(notJson("[[[[*")),
        FaultCase("list_of_raw_gbk_bytes")
            .withScenario(
                R"({"check":{"hasUpdate":1,"listBytes":"5b7b22617070 6e616d65223a22 d6cac1bfbfd8d6c6 )"
                R"(222c2264657363223a22 d0c2b0e6b1be 227d5d 00d8"}})")
            .answering(notJson("*")),
        FaultCase("reason_of_raw_bytes")
            .withScenario(R"({"check":{"hasUpdate":0,"reasonBytes":"c4e3 bac3 fffe 00d8 80"}})")
            .answering({kCannotUpdate + shown({0xE3C4, 0xC3BA, 0xFEFF, 0xFFFD, 0x80})}),

        // The update itself
        refusedUpdate("6", "请重新检查！"),
        refusedUpdate("7", "没有可升级的版本！"),
        refusedUpdate("8", "已有升级中的任务！"),
        refusedUpdate("15", "本机未安装此版本！"),
        refusedUpdate("16", "已经升级到此版本！"),
        refusedUpdate("9", "升级失败（9）！"),
        // The platform's 3 looks like the client's own "not started": the sink is released once.
        refusedUpdate("3", "升级失败（3）！"),
        refusedUpdate("null", "升级失败（-1）！"),
        FaultCase("fatal_errors_in_reports")
            .withScenario(updating(R"("reports":[{"stage":1,"percent":10},)"
                                   R"({"stage":3,"error":5},{"result":0,"error":7}]})"))
            .answering(
                {"out: [0x*] downloading Mirn6_QualityControl. (bits 64) 10%",
                 "out: [0x*] fatal error (5) while stage 3 of Mirn6_QualityControl. (bits 64)",
                 "out: [0x*] fatal error (7) while waiting install for Mirn6_QualityControl. (bits "
                 "64)",
                 "!out: [0x*] installing *", kReleased, "out#1: destroy notifier",
                 "core#3: sink 1 Notify* returned 0"}),
        FaultCase("report_texts_of_raw_bytes")
            .withScenario(updating(
                R"("reports":[)"
                R"({"stage":1,"percent":40,"text1Bytes":"c4e3bac3","text2Bytes":"ffc0af"},)"
                R"({"result":0,"text1Bytes":"00d8","text2":null}]})"))
            .answering({"out: [0x*] downloading " + printed({0xE3C4, 0xC3BA}) + "." +
                            printed({0xC0FF, 0xAF}) + " (bits 64) 40%",
                        "out: [0x*] install " + printed({0xFFFD}) + ".(null) (bits 64) OK!",
                        kReleased}),
        FaultCase("reports_from_several_threads_at_once")
            .with(Twist::ShowsTheDialog)
            .withScenario(updating(
                R"("gate":"{gate}","concurrent":true,"reports":[)"
                R"({"thread":1,"stage":1,"percent":10},{"thread":2,"stage":1,"percent":20},)"
                R"({"thread":3,"stage":1,"percent":30},{"thread":1,"stage":1,"percent":40},)"
                R"({"thread":2,"stage":1,"percent":50},{"thread":3,"stage":1,"percent":60},)"
                R"({"thread":4,"stage":2,"delayMs":100},{"thread":4,"stage":3},)"
                R"({"thread":4,"stage":4,"delayMs":100},{"thread":4,"result":0}]})"))
            .answering({"out#6: [0x*] downloading Mirn6_QualityControl. (bits 64) *0%",
                        "out: [0x*] download Mirn6_QualityControl. (bits 64) over",
                        "state: windows open 0", kUserStop,
                        "out: [0x*] install Mirn6_QualityControl. (bits 64) over!",
                        "core#1: sink 1 NotifyStage thread=3 * stage=1 percent=60", kReleased,
                        "!box: *"}),
        FaultCase("plugin_unloaded_while_reports_come_in")
            .with(Twist::LeavesDuringTheUpdate)
            .withScenario(updating(R"("reports":[{"stage":1,"percent":10,"delayMs":300},)"
                                   R"({"stage":3,"delayMs":100},{"stage":4},{"result":0}]})"))
            .answering({kInstalled, kReleased, "out#1: destroy notifier",
                        "state: at the answer 1 stops, 0 sink lines"}),
        FaultCase("receiver_throwing_on_a_report")
            .with(Twist::ShowsTheDialog, Twist::ReceiverThrowsOnce)
            .withScenario(updating(R"("gate":"{gate}","reports":[)"
                                   R"({"stage":1,"percent":30},{"stage":1,"percent":60},)"
                                   R"({"stage":4},{"result":0}]})"))
            .answering({"dbg#1: KaNotifyProxy NotifyStage dropped: a receiver failed",
                        "!out: [0x*] downloading * 30%",
                        "out#1: [0x*] downloading Mirn6_QualityControl. (bits 64) 60%", kInstalled,
                        kReleased, "core#4: sink 1 Notify* returned 0"}),
        // Windows ends the other threads before the plug-in's static objects
        // go: a platform thread ended inside a log line must not hold the host.
        FaultCase("host_ending_while_a_platform_thread_writes_a_log_line")
            .with(Twist::EndsInsideALogLine)
            .withScenario(updating(R"("reports":[{"stage":3},{"result":0}]})"))
            .within(20000)
            .answering({kReleased}),
        // A host that ends its process at the result, the platform's thread
        // still holding the sink: the core is detached before the plug-in,
        // which calls nothing into it then, and both end at once.
        FaultCase("host_ending_its_process_at_the_result")
            .with(Twist::EndsAtTheResult)
            .withScenario(updating(R"("releaseDelayMs":60000,)"
                                   R"("reports":[{"stage":3},{"result":0}]})"))
            .within(20000)
            .answering({"core$: DLL_PROCESS_DETACH process end", "dbg#1: QORClient dtor",
                        "dbg$: qorlog stop"}),
        FaultCase("install_stage_never_ending")
            .with(Twist::ShowsTheDialog, Twist::FastClock)
            .withScenario(updating(R"("gate":"{gate}","reports":[)"
                                   R"({"stage":1,"percent":50},{"stage":2},{"stage":3}]})"))
            .returning(false)
            .answering({"box: Mirn 组件升级失败，请重启电脑后重试", kReleased,
                        "state: windows open 0",
                        "out: [0x*] installing Mirn6_QualityControl. (bits 64) ...",
                        "!out: [0x*] install *over!"}),

        // The Quality Control module, when the host asks for its facade
        FaultCase("facade_module_missing")
            .with(Twist::AsksForTheFacade)
            .returning(false)
            .answering({"dbg#1: Quality Control facade unavailable: *ZubQualityControl64d.dll*",
                        "!host: *", "state: dll directory {dir}", "!core: *"}),
        FaultCase("facade_module_arriving_after_the_first_ask")
            .with(Twist::AsksForTheFacade, Twist::ModuleArrivesLater)
            .answering({"state: facades none given", "state: dll directory {dir}"}),
        FaultCase("facade_module_not_a_library")
            .with(Twist::AsksForTheFacade)
            .preparedBy([](const std::string& folder) {
                const std::filesystem::path module = folder + "/" + FaultFiles::kModule;
                std::filesystem::create_directories(module.parent_path());
                writeFile(module.string(), "MZ, but a text file all the same\n");
            })
            .returning(false)
            .answering({"dbg#1: Quality Control facade unavailable: *ZubQualityControl64d.dll*",
                        "!host: *", "state: dll directory {dir}"}),

        // The host
        FaultCase("log_folder_unwritable")
            .with(Twist::LogFolderUnwritable)
            .answering({"dbg: create file failed, errno = 5",
                        "dbg: open log file *qorcore.?.txt failed", "dbg: get IQORClient OK",
                        kNothingNew}),
        FaultCase("main_form_without_log_provider")
            .withHost([](FakeHost& host) { host.logProvider = false; })
            .answering({kNothingNew, "state: user action log service set 0 times"}),
        FaultCase("main_form_with_null_services")
            .withHost([](FakeHost& host) { host.tov = host.zub = false; })
            .answering({"core#1: DruxClientUserid.Start appname=\"Mirn6_QualityControl\" bits=64",
                        kUserStop, "!core: *Check*", "!host: *"}),
        FaultCase("main_form_without_tov_service")
            .withHost([](FakeHost& host) { host.tov = false; })
            .answering({kUserStop, "!core: *Check*", "!host: *"}),
        FaultCase("main_form_without_zub_service")
            .withHost([](FakeHost& host) { host.zub = false; })
            .answering({kUserStop, "!core: *Check*", "!host: *"}),
        FaultCase("host_without_main_form")
            .withHost([](FakeHost& host) { host.form = FakeHost::Form::None; })
            .answering({kSkipped, "!core: *", "state: user action log service set 0 times"}),
        FaultCase("host_with_a_foreign_main_form")
            .withHost([](FakeHost& host) { host.form = FakeHost::Form::Foreign; })
            .answering({kSkipped, "!core: *"}),
        FaultCase("host_null").with(Twist::PassesNoHost).answering({kSkipped, "!core: *"}),
        // The host's events run inside the request's nested event loops; a
        // host that deletes the factory there ends the request, which then
        // touches nothing of it.
        FaultCase("factory_deleted_during_the_busy_pause")
            .with(Twist::DeletesTheFactory)
            .withScenario(R"({"check":{"busyChecks":1000000}})")
            .answering({"core#1: DruxClientUserid.CheckUpdateForUser *", kUserStop,
                        "core#1: DruxClientUserid.Release",
                        "host#1: error DruxClient::stop: DruxClient Stop failed: 3",
                        "!host: *giving up", "!down: *"}),
        FaultCase("factory_deleted_while_the_dialog_is_up")
            .with(Twist::ShowsTheDialog, Twist::DeletesTheFactory)
            .withScenario(updating(R"("gate":"{gate}","reports":[)"
                                   R"({"stage":1,"percent":50,"delayMs":200},)"
                                   R"({"stage":4},{"result":0}]})"))
            .answering({kUserStop, kReleased,
                        "out: [0x*] downloading Mirn6_QualityControl. (bits 64) 50%",
                        "state: windows open 0", "!box: *", "!down: *"}),
        // The first request's controller serves the second; the host's teardown stops
        // both clients, which are not started then.
        FaultCase("second_request_reuses_the_controller")
            .with(Twist::RequestsTwice)
            .answering({"state: user action log service set 1 times",
                        "state: user action log service the host's",
                        "state: main form asked 2 times", "core#2: DruxClientUserid.Start *",
                        "down: error DruxClient_Userid::stop: DruxClientUserid Stop failed: 3",
                        "down: error DruxClient::stop: DruxClient Stop failed: 3"}),
    };
}
} // namespace

const std::vector<FaultCase>& faultCases()
{
    static const std::vector<FaultCase> cases = makeCases();
    return cases;
}

const FaultCase* findFaultCase(const std::string& name)
{
    const auto& cases = faultCases();
    const auto found = std::find_if(cases.begin(), cases.end(),
                                    [&](const FaultCase& c) { return c.name == name; });
    return found == cases.end() ? nullptr : &*found;
}
