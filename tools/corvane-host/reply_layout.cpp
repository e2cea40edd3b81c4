#include "reply_layout.h"

#include "common/fields.h"

namespace corvane::host {
namespace {

// The standard error body: "-1~1050%%<tag>%%<code>%%错误原因:<message>".
const char kErrorHead[] = "-1~1050%%";
const char kCausePrefix[] = "错误原因:";

std::string Field(const std::string& text, const std::string& sep, int n) {
  std::string field;
  get_field(text, sep, n, &field);
  return field;
}

// The content between the "$$" frames, or the whole text when unframed.
std::string Content(const std::string& reply) {
  if (reply.size() >= 4 && reply.compare(0, 2, "$$") == 0 &&
      reply.compare(reply.size() - 2, 2, "$$") == 0)
    return reply.substr(2, reply.size() - 4);
  return reply;
}

bool IsStandardError(const std::string& content) {
  if (content.compare(0, sizeof kErrorHead - 1, kErrorHead) != 0) return false;
  const std::string body = content.substr(3);
  return Kvo_CountFields(body, kSubFieldSep) >= 4 &&
         Field(body, kSubFieldSep, 4).compare(0, sizeof kCausePrefix - 1, kCausePrefix) == 0;
}

std::string ErrorLines(const std::string& content) {
  const std::string body = content.substr(3);
  std::string rest;
  Kvo_GetTailFields(body, kSubFieldSep, 4, &rest);
  return "  error tag:     " + Field(body, kSubFieldSep, 2) + "\n" +
         "  error code:    " + Field(body, kSubFieldSep, 3) + "\n" +
         "  error message: " + rest.substr(sizeof kCausePrefix - 1) + "\n";
}

std::string FieldLines(const std::string& content) {
  std::string out;
  const int count = Kvo_CountFields(content, kFieldSep);
  for (int i = 1; i <= count; ++i) {
    const std::string field = Field(content, kFieldSep, i);
    out += "  field " + std::to_string(i) + ": " + field + "\n";
    const int subs = Kvo_CountFields(field, kSubFieldSep);
    for (int j = 1; subs > 1 && j <= subs; ++j) {
      out += "    " + std::to_string(i) + "." + std::to_string(j) + ": " +
             Field(field, kSubFieldSep, j) + "\n";
    }
  }
  return out;
}

}  // namespace

std::string LayoutReply(const std::string& title, int32_t status, const std::string& reply) {
  std::string out = title + ": status " + std::to_string(status) +
                    (status == 0 ? " (success)" : " (failed)") + "\n";
  out += "  reply: " + reply + "\n";
  const std::string content = Content(reply);
  return out + (IsStandardError(content) ? ErrorLines(content) : FieldLines(content));
}

}  // namespace corvane::host
