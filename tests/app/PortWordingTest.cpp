// The window's words for a port that cannot be used, from fabricated
// diagnoses (in English: the Chinese goes through the same Lang() calls).

#include <cerrno>

#include "../FakePorts.h"
#include "AppTestKit.h"
#include "ui/PortWording.h"

namespace {

using namespace PortWording;
using namespace fakeports;

QString S(const char* utf8) { return QString::fromUtf8(utf8); }

// The parts expected in a text; "!" before a part: it must not be there.
using Wording = std::vector<const char*>;

class PortWordingTest : public ::testing::Test {
protected:
    void TearDown() override { SetLanguageFlag(1); }
    // text() in the language holds the parts.
    template <class Text>
    static void ExpectSaid(Text text, const Wording& parts, int chinese = 0)
    {
        SetLanguageFlag(chinese);
        const QString said = text();
        for (const char* part : parts) {
            if (part[0] == '!')
                EXPECT_FALSE(said.contains(S(part + 1))) << said << "\n--- has ---\n" << part + 1;
            else
                EXPECT_TRUE(said.contains(S(part))) << said << "\n--- lacks ---\n" << part;
        }
    }
};

TEST_F(PortWordingTest, EachCauseIsNamedWithWhatToDo)
{
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
        ExpectSaid([&] { return FailureLines(c.d).join('\n'); }, c.w);
    }
}

} // namespace
