// SHA-256 against the FIPS 180 example vectors, whole and fed in pieces.

#include "LinkTestKit.h"
#include "link/Sha256.h"

namespace {

std::string HexOf(const std::string& text)
{
    return Sha256::Hex(text.data(), text.size());
}

TEST(Sha256Test, FipsVectors)
{
    EXPECT_EQ(HexOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(HexOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 448 bits: the length no longer fits the first block's padding.
    EXPECT_EQ(HexOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(HexOf("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrs"
                    "mnopqrstnopqrstu"),
              "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
    EXPECT_EQ(HexOf(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256Test, PiecesGiveTheSameDigestAndFinishStartsAfresh)
{
    std::string data;
    for (int i = 0; i < 2048; ++i)
        data += char(i * 31 + 7);
    const std::string whole = HexOf(data);
    for (std::size_t piece : {1u, 3u, 55u, 63u, 64u, 65u, 1000u}) {
        Sha256 sha;
        for (std::size_t at = 0; at < data.size(); at += piece)
            sha.Update(data.data() + at, std::min(piece, data.size() - at));
        const auto digest = sha.Finish();
        char hex[65] = {};
        for (int i = 0; i < 32; ++i)
            std::snprintf(hex + 2 * i, 3, "%02x", digest[i]);
        EXPECT_EQ(hex, whole) << "pieces of " << piece;
        // After Finish the object hashes the next message from scratch.
        sha.Update("abc", 3);
        EXPECT_EQ(sha.Finish()[0], 0xba);
    }
}

} // namespace
