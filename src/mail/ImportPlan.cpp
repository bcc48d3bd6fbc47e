#include "mail/ImportPlan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "common/TextUtil.h"
#include "incoming/MboxReader.h"
#include "incoming/SourceStatus.h"

namespace {

struct TEntry {
    std::string name;
    bool folder = false;
    std::uint64_t size = 0;
};

std::vector<TEntry> Entries(const std::string& folder) {
    std::vector<TEntry> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return entries;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (::stat((folder + "/" + name).c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode))
            entries.push_back({name, true, 0});
        else if (S_ISREG(st.st_mode))
            entries.push_back({name, false, static_cast<std::uint64_t>(st.st_size)});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) { return a.name < b.name; });
    return entries;
}

std::string Head(const std::string& path) {
    std::string head(4096, '\0');
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return {};
    head.resize(std::fread(head.data(), 1, head.size(), f));
    std::fclose(f);
    return head;
}

std::string Lower(std::string s) { return text::ToLowerAscii(s); }

std::string Extension(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string() : Lower(name.substr(dot));
}

std::string WithoutExtension(const std::string& name, const std::string& ext) {
    return ext.empty() ? name : name.substr(0, name.size() - ext.size());
}

bool IsMaildir(const std::string& folder) {
    struct stat st {};
    return (::stat((folder + "/cur").c_str(), &st) == 0 && S_ISDIR(st.st_mode)) ||
           (::stat((folder + "/new").c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

class TWalker {
public:
    explicit TWalker(TImportPlan& plan) : plan_(plan) {}

    void AddMailbox(const std::vector<std::string>& box) {
        if (box.empty()) return;
        if (std::find(plan_.mailboxes.begin(), plan_.mailboxes.end(), box) != plan_.mailboxes.end()) return;
        AddMailbox(std::vector<std::string>(box.begin(), box.end() - 1));
        plan_.mailboxes.push_back(box);
    }

    void Add(TImportPlan::TSource source) {
        plan_.totalBytes += source.size;
        plan_.sources.push_back(std::move(source));
    }

    // One file of a walked folder.
    void File(const std::string& path, const std::string& name, std::uint64_t size,
              const std::vector<std::string>& box) {
        if (TImportPlan::IsIndexFile(name)) return;
        const std::string ext = Extension(name);
        const std::string head = Head(path);
        if (ext == ".eml" || (ext != ".mbox" && ext != ".mbx" && !TMboxReader::LooksLikeMbox(head) &&
                              TImportPlan::LooksLikeMessage(head))) {
            AddMailbox(box);
            Add({path, TImportPlan::TKind::Message, box, std::nullopt, size});
            return;
        }
        std::vector<std::string> child = box;
        child.push_back(WithoutExtension(name, ext == ".mbox" || ext == ".mbx" ? ext : std::string()));
        if (TMboxReader::LooksLikeMbox(head)) {
            AddMailbox(child);
            Add({path, TImportPlan::TKind::Mbox, child, std::nullopt, size});
        } else if (size == 0 && (ext.empty() || ext == ".mbox" || ext == ".mbx")) {
            AddMailbox(child);  // an empty folder of the other program
        } else {
            plan_.skipped.push_back(path);
        }
    }

    void Maildir(const std::string& folder, const std::vector<std::string>& box) {
        AddMailbox(box);
        for (const char* sub : {"new", "cur"}) {
            const bool inNew = sub[0] == 'n';
            for (const auto& e : Entries(folder + "/" + sub)) {
                if (e.folder || e.name.front() == '.') continue;
                Add({folder + "/" + sub + "/" + e.name, TImportPlan::TKind::Message, box,
                     sourcestatus::FromMaildirName(e.name, inNew), e.size});
            }
        }
    }

    void Folder(const std::string& folder, const std::vector<std::string>& box, int depth) {
        if (depth > 32) return;  // a loop of links, or no tree anyone made
        const bool maildir = IsMaildir(folder);
        if (maildir) Maildir(folder, box);
        for (const auto& e : Entries(folder)) {
            const std::string path = folder + "/" + e.name;
            if (!e.folder) {
                if (!maildir) File(path, e.name, e.size, box);
                continue;
            }
            if (maildir && (e.name == "cur" || e.name == "new" || e.name == "tmp")) continue;
            std::vector<std::string> child = box;
            if (text::EndsWith(e.name, ".sbd") && e.name.size() > 4)
                child.push_back(e.name.substr(0, e.name.size() - 4));  // the sub-folders of a mailbox file
            else if (e.name.front() == '.' && e.name.size() > 1 && IsMaildir(path))
                child.push_back(e.name.substr(1));  // Maildir++ folders
            else if (e.name.front() == '.')
                continue;
            else
                child.push_back(e.name);
            Folder(path, child, depth + 1);
        }
    }

private:
    TImportPlan& plan_;
};

}  // namespace

bool TImportPlan::IsIndexFile(const std::string& name) {
    static const char* const kExtensions[] = {".msf",    ".dat",    ".idx",  ".sqlite", ".sqlite-wal", ".sqlite-shm",
                                              ".json",   ".db",     ".log",  ".lock",   ".summary",    ".ev-summary",
                                              ".cmeta",  ".index",  ".toc",  ".ibex",   ".mozmsgs",    ".xml",
                                              ".html",   ".htm",    ".ini",  ".cache",  ".lck",        ".tmp"};
    const std::string lower = Lower(name);
    if (lower.front() == '.' || lower.rfind("dovecot", 0) == 0 || lower == "subscriptions" ||
        lower == "maildirfolder" || lower == "courierimapuiddb" || lower.rfind("courierimap", 0) == 0)
        return true;
    for (const char* ext : kExtensions)
        if (text::EndsWith(lower, ext)) return true;
    return false;
}

bool TImportPlan::LooksLikeMessage(const std::string& head) {
    // A field name is printable ASCII other than the colon (RFC 5322 2.2).
    std::size_t i = 0;
    while (i < head.size() && head[i] > ' ' && head[i] < 127 && head[i] != ':') ++i;
    return i > 0 && i < head.size() && head[i] == ':';
}

std::optional<TImportPlan> TImportPlan::Make(const std::string& chosen, std::string& error) {
    std::string path = chosen;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = "cannot be read";
        return std::nullopt;
    }
    TImportPlan plan;
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    TWalker walker(plan);
    if (S_ISDIR(st.st_mode)) {
        plan.name = text::EndsWith(name, ".sbd") && name.size() > 4 ? name.substr(0, name.size() - 4) : name;
        walker.Folder(path, {}, 0);
    } else {
        const std::string ext = Extension(name);
        plan.name = WithoutExtension(name, ext);
        const std::string head = Head(path);
        const auto size = static_cast<std::uint64_t>(st.st_size);
        if (TMboxReader::LooksLikeMbox(head) || ext == ".mbox" || ext == ".mbx")
            walker.Add({path, TKind::Mbox, {}, std::nullopt, size});
        else if (ext == ".eml" || LooksLikeMessage(head))
            walker.Add({path, TKind::Message, {}, std::nullopt, size});
    }
    if (plan.sources.empty() && plan.mailboxes.empty()) {
        error = "holds no mailbox and no message";
        return std::nullopt;
    }
    if (plan.name.empty()) plan.name = "Imported";
    return plan;
}
