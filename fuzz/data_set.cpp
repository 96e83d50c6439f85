// The data set file, and its type name and comment as the views show them.
#include "standins/dtm/DataSet.h"

#include "BoundedText.h"
#include "CommentBoxText.h"

namespace {

/// The comment comes back from its box as it was, with soft breaks at sizes
/// a short input reaches. (A paragraph separator is a line break in the box.)
void CheckCommentBox(const QString& comment) {
    rq16::identification::CommentBoxForm form;
    const QString box = rq16::identification::CommentForBox(comment, form, 12, 10);
    if (!comment.contains(QChar::ParagraphSeparator) &&
        rq16::identification::CommentFromBox(box, form) != comment) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto set = rq16::standins::DataSet::FromJson(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        // What is written back must read back the same.
        if (!(rq16::standins::DataSet::FromJson(set.ToJson()) == set)) {
            __builtin_trap();
        }
        CheckCommentBox(set.comment);
        if (rq16::ShownText(set.typeName).size() > rq16::kMaxShownLength) {
            __builtin_trap();
        }
        rq16::ToolTipText(set.typeName);
    } catch (const rq16::ComError&) {
    }
    return 0;
}
