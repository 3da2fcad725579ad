// A live score post's HTTP body as any client may send it: the form's fields,
// the Basic credentials, the post itself, and the pages made of what was read,
// which must stay UTF-8 whatever came in.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/utf8_text.h"
#include "breakdown.h"
#include "pages.h"
#include "post_reader.h"
#include "request_fields.h"

namespace {

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = Utf8SequenceLength(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    ReadBasicAuthorization(body);
    const std::string document = ReadPostBody(size % 3 ? "text/xml" : "application/x-www-form-urlencoded", body).xml;
    ScorePost post;
    try {
        post = ReadScorePost(document);
    } catch (const PostRefused& refused) {
        if (refused.status != 400 && refused.status != 413) std::abort();
        return 0;
    }
    PostRecord record;
    record.call = post.call;
    record.score = post.score;
    record.category = post.category;
    record.flag = BreakdownFault(post, size % 2 == 0);
    const PostFigures f = FiguresOf(post);
    record.qsos = f.qsos;
    record.points = f.points;
    record.mults = f.mults;
    const StationView view{record, post, 1, 0};
    for (const std::string& page : {StationHtml(view, 60), StationJson(view)})
        if (!IsUtf8(page)) std::abort();
    return 0;
}
