#include "batch/BatchFiles.h"

#include "text/LineReader.h"
#include "text/TextFile.h"

#include <ostream>

namespace orvanta {

namespace {

std::string quoted(const std::string& path)
{
    return "'" + path + "'";
}

} // namespace

void BatchFiles::reads(const std::string& option, const std::string& path)
{
    if (!path.empty())
        inputs_.push_back({option, path, std::nullopt});
}

void BatchFiles::mayRead(const std::string& option, const std::string& path)
{
    if (!path.empty())
        inputs_.push_back({option, path, std::nullopt, false});
}

void BatchFiles::writes(const std::string& option, const std::string& path,
                        std::optional<InputReplacement> replacement)
{
    if (!path.empty())
        outputs_.push_back({option, path, std::move(replacement)});
}

std::optional<std::string> BatchFiles::inputProblem(const NamedFile& input) const
{
    if (!input.checked)
        return std::nullopt;
    const std::string reason = unreadableFileReason(input.path);
    if (reason.empty())
        return std::nullopt;
    return input.option + " " + quoted(input.path) + " cannot be opened: " + reason;
}

std::optional<std::string> BatchFiles::outputProblem(const NamedFile& output) const
{
    for (const NamedFile& input : inputs_) {
        if (!sameFile(input.path, output.path))
            continue;
        const std::optional<InputReplacement>& replacement = output.replacement;
        const bool mayReplace = replacement && replacement->inputOption == input.option;
        if (mayReplace && replacement->allowed)
            continue;
        return output.option + " names the input file " + quoted(input.path) + " (" + input.option + ")" +
               (mayReplace ? "; give " + replacement->flag + " to replace it" : std::string());
    }
    const std::string reason = unwritableFileReason(output.path);
    if (reason.empty())
        return std::nullopt;
    return output.option + " " + quoted(output.path) + " cannot be written: " + reason;
}

std::optional<std::string> BatchFiles::clashBetweenOutputs() const
{
    for (std::size_t a = 0; a < outputs_.size(); ++a)
        for (std::size_t b = a + 1; b < outputs_.size(); ++b)
            if (sameFile(outputs_[a].path, outputs_[b].path))
                return outputs_[a].option + " and " + outputs_[b].option + " name the same file " +
                       quoted(outputs_[b].path);
    return std::nullopt;
}

bool BatchFiles::check(std::ostream& err) const
{
    std::optional<std::string> problem;
    for (const NamedFile& input : inputs_)
        if (!problem)
            problem = inputProblem(input);
    if (!problem)
        problem = clashBetweenOutputs();
    for (const NamedFile& output : outputs_)
        if (!problem)
            problem = outputProblem(output);
    if (!problem)
        return true;
    err << commandName_ << ": " << *problem << "\n";
    return false;
}

} // namespace orvanta
