#include "link/ConnectionCheck.h"

#include <mutex>

#include <sys/stat.h>
#include <unistd.h>

#include "image/CImportData.h"
#include "image/JobResults.h"
#include "image/ModelTable.h"
#include "image/RadioSettings.h"

namespace {

// Keeps the probe's frames and the serial layer's complaints; nothing else
// of a job happens during a probe. The port's watch thread may report an
// error while the probing thread traces.
class CollectingObserver : public JobObserver {
public:
    void OnTrace(const std::string& line) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        trace_.push_back(line);
    }
    void OnProgress(int) override {}
    void OnBeep(int, int) override {}
    bool AskModelOverwrite() override { return false; }
    void OnIdentification(const uint8_t*) override {}
    void OnReadComplete(const uint8_t*) override {}
    void OnInfoComplete(const uint8_t*) override {}
    void OnJobEnded(LinkJobMode, bool) override {}
    void OnPortError(const std::string& text) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        errors_ += text;
    }
    void TakeInto(PortCheck& check)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        check.trace = std::move(trace_);
        check.portErrors = std::move(errors_);
    }

private:
    std::mutex mutex_;
    std::vector<std::string> trace_;
    std::string errors_;
};

} // namespace

DeviceAccess JudgeDeviceAccess(uid_t owner, gid_t group, mode_t mode, uid_t user,
                               const std::vector<gid_t>& sessionGroups, const std::vector<gid_t>& databaseGroups)
{
    if (user == 0)
        return DeviceAccess::Root;
    if (owner == user && (mode & (S_IRUSR | S_IWUSR)) == (S_IRUSR | S_IWUSR))
        return DeviceAccess::Owner;
    if (!GroupGrantsAccess(group, mode))
        return DeviceAccess::OnlyOwner;
    switch (JudgeGroup(group, sessionGroups, databaseGroups)) {
    case GroupStanding::InSession: return DeviceAccess::InGroup;
    case GroupStanding::NeedsNewSession: return DeviceAccess::NeedsNewSession;
    case GroupStanding::NotMember: return DeviceAccess::NotMember;
    }
    return DeviceAccess::NotMember;
}

ConnectionFacts GatherConnectionFacts(const SystemRoots& roots)
{
    ConnectionFacts facts;
    facts.userId = ::getuid();
    facts.user = UserName(facts.userId);
    const std::vector<gid_t> session = SessionGroups();
    for (gid_t g : session)
        facts.sessionGroups.push_back(GroupName(g));
    const std::vector<gid_t> database = DatabaseGroups(facts.userId);
    for (SerialDevice& device : FindSerialDevices(roots)) {
        DeviceFacts d;
        d.owner = UserName(device.ownerId);
        d.group = GroupName(device.groupId);
        d.access = JudgeDeviceAccess(device.ownerId, device.groupId, device.mode, facts.userId, session, database);
        d.holders = FindPortHolders(device.path, roots);
        d.device = std::move(device);
        facts.devices.push_back(std::move(d));
    }
    facts.grabbers = FindSerialGrabbers(roots);
    return facts;
}

ProbeVerdict JudgeProbe(const LinkProbeResult& probe)
{
    if (probe.identified)
        return ProbeVerdict::RadioAnswered;
    if (probe.lineLost)
        return ProbeVerdict::LineLost;
    if (probe.receivedCount == 0)
        return ProbeVerdict::NothingCameBack;
    // Some cables hear their own transmission: that proves the cable, not the radio.
    static const uint8_t kWakeUp[] = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};
    bool echo = probe.received.size() >= sizeof kWakeUp;
    for (std::size_t i = 0; echo && i < probe.received.size(); ++i)
        echo = probe.received[i] == kWakeUp[i % sizeof kWakeUp];
    return echo ? ProbeVerdict::OnlyEcho : ProbeVerdict::SomethingElse;
}

void IdentifiedModel(const uint8_t (&ident)[ImageMap::kIdentSize], std::string& modelCode, std::string& band)
{
    CImportData data;
    JobResults::LayIdentification(data, ident);
    data.DecodeAll();
    ModelState model;
    ModelIdentify(model, *data.GetSettings());
    modelCode = std::string(GetText(data.GetSettings()->modelCode));
    band = TitleBandText(model);
}

PortCheck CheckPort(const std::string& device, int portNumber, const SystemRoots& roots)
{
    PortCheck check;
    check.device = device;
    check.portNumber = portNumber;
    CollectingObserver observer;
    {
        RadioLink link(observer);
        if (!link.OpenPort(device, portNumber)) {
            const int error = link.OpenErrorCode();
            if (error != 0)
                check.failure = DiagnosePort(device, error, roots);
            else
                check.failure.device = device;
        } else {
            check.opened = true;
            check.probed = link.Probe(check.probe);
            if (check.probed) {
                check.verdict = JudgeProbe(check.probe);
                if (check.verdict == ProbeVerdict::RadioAnswered)
                    IdentifiedModel(check.probe.ident, check.modelCode, check.band);
            }
        }
    } // the port is closed here, before anyone is told
    observer.TakeInto(check);
    return check;
}
