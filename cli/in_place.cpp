#include "cli/in_place.h"

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/file_replacement.h"
#include "recode/recoding_pass.h"
#include "recode/utf8.h"

namespace cli {
namespace {

using platform::FileIdentity;
using recode::IoFailure;

// New files waiting for their flush and rename together: fewer waits for the disk, and few
// enough descriptors held open at once.
constexpr std::size_t kBatchSize = 64;

constexpr std::string_view kIsTheTable = "is the table";
constexpr std::string_view kAlreadyRecoded =
    "looks already recoded: it is UTF-8, which this table makes; --force recodes it again";
constexpr std::string_view kNotText =
    "holds NUL bytes, which no text of a code page does; --force replaces it all the same";

// Files replaced in place, in batches; each one's messages name it as the user did.
class InPlace {
  public:
    explicit InPlace(Run& run) : run_(run), reader_(run.blockSize), writer_(run.blockSize) {
        reader_.setLoneCrEndsLine(run.line.crEndsLines);
    }

    // The file named at `index` (from 0) of the command line's files.
    void recode(const std::string& name, std::size_t index);
    // Replaces the files still waiting in the batch.
    void finish() { replaceBatch(); }

  private:
    // Refuses, with its reason, a file whose recoding would not be what the user wants: by how
    // it begins, before anything is made, or by what the recoding dropped.
    std::optional<std::string_view> refusalOfText(std::string_view beginning) const;
    std::optional<std::string> refusal(const recode::TextLineReader::Dropped& dropped) const;
    void replaceBatch();

    Run& run_;
    recode::TextLineReader reader_;
    recode::TextLineWriter writer_;
    // Every file of the run, by its identity before and after its replacement, with the name
    // that reached it first: a file is replaced once, however many names reach it.
    std::map<FileIdentity, std::string> seen_;
    std::vector<platform::FileReplacement> batch_;
    std::vector<std::string> batchNames_;
};

void InPlace::recode(const std::string& name, std::size_t index) {
    if (name.empty()) {
        return run_.report.emptyName(Nth("file", index));
    }
    platform::FileReplacement replacement;
    if (const platform::ErrorCode code = replacement.open(name, kNames)) {
        return run_.report.badFile(name, IoFailure::System(code));
    }
    if (run_.tableIdentity == replacement.identity()) {
        return run_.report.badFile(name, kIsTheTable);
    }
    if (const auto [first, isNew] = seen_.emplace(replacement.identity(), name); !isNew) {
        return run_.report.note(name, "the same file as " + first->second + ", recoded once");
    }
    reader_.attach(replacement.takeOldFile());
    if (const std::optional<std::string_view> reason = refusalOfText(reader_.peek())) {
        reader_.close();
        recode::takeIoResult();
        return run_.report.badFile(name, *reason);
    }
    const recode::TextConverter* converter = ConverterFor(run_, name, reader_.peek(), true);
    if (converter == nullptr) {
        reader_.close();
        recode::takeIoResult();
        return;
    }
    if (const platform::ErrorCode code = replacement.makeNewFile()) {
        reader_.close();
        recode::takeIoResult();
        return run_.report.badFile(name, IoFailure::System(code));
    }
    if (FileIdentity made; platform::identifyFile(replacement.newFile(), made)) {
        seen_.emplace(made, name);
    }
    writer_.attach(replacement.newFile());
    const recode::PassResult result = recode::RecodeText(reader_, *converter, writer_);
    const bool written = writer_.detach();
    reader_.close();
    recode::takeIoResult();
    // Whichever file failed, the user knows it by the name given; the old file stays as it was.
    const IoFailure failure = !result.done() ? result.message->failure
                              : !written     ? writer_.failure()
                                             : reader_.failure();
    if (failure) {
        return run_.report.badFile(name, failure);
    }
    if (const std::optional<std::string> reason = refusal(reader_.dropped())) {
        return run_.report.badFile(name, *reason);
    }
    batch_.push_back(std::move(replacement));
    batchNames_.push_back(name);
    if (batch_.size() == kBatchSize) {
        replaceBatch();
    }
}

std::optional<std::string_view> InPlace::refusalOfText(std::string_view beginning) const {
    if (run_.line.force) {
        return std::nullopt;
    }
    if (beginning.find('\0') != std::string_view::npos) {
        return kNotText;
    }
    // A second run of a table into UTF-8 would garble what the first made.
    if (run_.makesUtf8 && recode::IsUtf8Text(beginning)) {
        return kAlreadyRecoded;
    }
    return std::nullopt;
}

std::optional<std::string> InPlace::refusal(const recode::TextLineReader::Dropped& dropped) const {
    if (run_.line.force || dropped == recode::TextLineReader::Dropped{}) {
        return std::nullopt;
    }
    return "its recoding would drop " + DescribeDropped(dropped) + "; --force drops it";
}

void InPlace::replaceBatch() {
    std::vector<platform::ErrorCode> codes(batch_.size());
    platform::ReplaceAll(batch_, codes);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] != 0) {
            run_.report.badFile(batchNames_[i], IoFailure::System(codes[i]));
        }
    }
    batch_.clear();
    batchNames_.clear();
}

}  // namespace

void RecodeInPlace(Run& run) {
    InPlace inPlace(run);
    for (std::size_t i = 0; i < run.line.inputs.size(); ++i) {
        inPlace.recode(run.line.inputs[i], i);
    }
    inPlace.finish();
}

}  // namespace cli
