// The window's words for a port that cannot be used, from fabricated
// diagnoses (in English: the Chinese goes through the same Lang() calls).

#include <cerrno>

#include "../FakePorts.h"
#include "AppTestKit.h"
#include "ui/PortWording.h"

namespace {

using namespace PortWording;
using namespace fakeports;

// The parts expected in a text; "!" before a part: it must not be there.
using Wording = std::vector<const char*>;

TEST(PortWordingTest, EachCauseIsNamedWithWhatToDo)
{
    SetLanguageFlag(0);
    PortDiagnosis gone = Refused(PortCause::Gone, EIO);
    gone.grabbers = {{"brltty", 5, "sudo apt remove brltty"}};
    const struct {
        const char* what;
        PortDiagnosis d;
        Wording w;
    } cases[] = {
        {"absent, nothing present", Refused(PortCause::Absent, ENOENT, "/dev/ttyUSB3"),
         {"/dev/ttyUSB3: no such device.\nNo serial device is present.\nPlug in the programming cable."}},
        // The group is the device's own, whatever it is called.
        {"not in the group", PermissionDenied(GroupStanding::NotMember, "uucp"),
         {"/dev/ttyUSB0: permission denied; it belongs to group 'uucp' (crw-rw---- root:uucp).\n"
          "Add yourself to group 'uucp': sudo usermod -aG uucp $USER, then log out and in again."}},
        // brltty once, as the holder; ModemManager as a running grabber.
        {"busy", HeldByBrlttyAndMinicom(),
         {"/dev/ttyUSB0: in use by another program: pid 812 (brltty: /sbin/brltty -B), pid 900 (minicom).\n"
          "brltty holds the cable; free it with: sudo apt remove brltty\n",
          "ModemManager is running (pid 77)", "sudo systemctl stop ModemManager", "!brltty is running"}},
        // brltty is what makes CH340 cables vanish.
        {"adapter gone", gone,
         {"/dev/ttyUSB0: the adapter has gone away (", "\nUnplug the cable and plug it in again",
          "\nbrltty is running (pid 5)"}},
        {"no known cause: the system's words", Refused(PortCause::Other, ENOTTY, "/dev/ttyUSB2"),
         {"/dev/ttyUSB2: ", "!\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString said = FailureLines(c.d).join('\n');
        for (const char* part : c.w) {
            const bool absent = part[0] == '!';
            EXPECT_NE(said.contains(QString::fromUtf8(part + absent)), absent) << said << "\n--- part ---\n" << part;
        }
    }
    SetLanguageFlag(1);
}

} // namespace
