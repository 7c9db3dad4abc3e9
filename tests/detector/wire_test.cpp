// The request and answer encodings both ends of the channel rely on.
#include "wire.h"

#include <gtest/gtest.h>

namespace {

TEST(Wire, RequestSurvivesTheRoundTripWithAnyBytes) {
    const zolvu::DetectRequest request{std::string("/photos/\xE4\xF5\x00x.jpg", 15), "face.xml", "mouth.xml", 1};
    const auto decoded = zolvu::decodeRequest(zolvu::encodeRequest(request));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->image, request.image);
    EXPECT_EQ(decoded->faceCascade, request.faceCascade);
    EXPECT_EQ(decoded->mouthCascade, request.mouthCascade);
    EXPECT_EQ(decoded->precise, 1);
}

TEST(Wire, DamagedRequestsAreRefused) {
    const std::string good = zolvu::encodeRequest({"a.jpg", "f.xml", "m.xml", 0});
    for (std::size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(zolvu::decodeRequest(good.substr(0, cut))) << "cut at " << cut;
    EXPECT_FALSE(zolvu::decodeRequest(good + "x")) << "trailing byte";
}

TEST(Wire, AnswerIsExactlyOneResult) {
    EXPECT_EQ(zolvu::decodeAnswer(zolvu::encodeAnswer(-8)), -8);
    EXPECT_FALSE(zolvu::decodeAnswer("abc"));
    EXPECT_FALSE(zolvu::decodeAnswer(zolvu::encodeAnswer(1) + "x"));
}

TEST(Wire, FrameAnnouncesItsPayload) {
    const std::string framed = zolvu::frame("hello");
    char header[zolvu::kFrameHeaderBytes];
    framed.copy(header, sizeof header);
    EXPECT_EQ(zolvu::frameLength(header), 5u);
    EXPECT_EQ(framed.substr(zolvu::kFrameHeaderBytes), "hello");
}

}  // namespace
