// The tree list's data stream: a block of version and block length, the
// data controller's record stream and the nodes in pre-order; saving and
// loading it through streams, files, the form's Data property and the copy
// of another tree list's nodes.

#include <cerrno>
#include <cstring>
#include <limits>

#include "components/data/cxVariants.h"
#include "components/treelist/cxTL.h"
#include "platform/hostlib/core/format.h"
#include "platform/system/file_replace.h"

using namespace hostlib;

namespace {

constexpr std::int64_t kHeaderSize = 8;
// What a node takes at least: its record index and state.
constexpr std::int64_t kMinNodeSize = 8;
// Deeper trees are refused: deleting and walking nodes recurses by level.
constexpr std::size_t kMaxReadLevel = 1024;
// The state bits a stream may carry; the others are the list's own.
constexpr std::uint32_t kStreamedStateBits = TcxTreeListNode::nsHasChildren | TcxTreeListNode::nsCollapsed;

[[noreturn]] void InvalidStream() { cxTreeListError(scxStr(scxInvalidStreamFormat)); }

std::int64_t Remaining(TStream& stream) { return stream.Size() - stream.Position(); }

// A count of entries of at least kMinNodeSize bytes that the rest of the stream can hold.
void CheckCount(std::int32_t count, TStream& stream)
{
    if (count < 0 || count > Remaining(stream) / kMinNodeSize) InvalidStream();
}

}  // namespace

// ---- nodes ---------------------------------------------------------------------------------

void TcxTreeListNode::ReadData(TStream& stream, int& childCount)
{
    TcxReader reader(stream);
    recordIndex_ = reader.ReadInteger();
    state_ = static_cast<std::uint32_t>(reader.ReadInteger()) & kStreamedStateBits;
    childCount = (state_ & nsHasChildren) ? reader.ReadInteger() : 0;
}

void TcxTreeListNode::WriteData(TStream& stream)
{
    if (childCount_ > 0) state_ |= nsHasChildren;
    TcxWriter writer(stream);
    writer.WriteInteger(recordIndex_);
    writer.WriteInteger(static_cast<std::int32_t>(state_ & kStreamedStateBits));
    if (childCount_ > 0 || (state_ & nsHasChildren)) writer.WriteInteger(childCount_);
}

void TcxUnboundTreeListNode::ReadData(TStream& stream, int& childCount)
{
    TcxTreeListNode::ReadData(stream, childCount);
    TcxReader reader(stream);
    for (TcxTreeListImageIndexType type : {tlitImageIndex, tlitSelectedIndex, tlitStateIndex})
        SetStoredImageIndex(type, reader.ReadInteger());
}

void TcxUnboundTreeListNode::WriteData(TStream& stream)
{
    TcxTreeListNode::WriteData(stream);
    TcxWriter writer(stream);
    for (TcxTreeListImageIndexType type : {tlitImageIndex, tlitSelectedIndex, tlitStateIndex})
        writer.WriteInteger(StoredImageIndex(type));
}

void TcxTreeListNodes::Assign(TPersistent* source)
{
    auto* other = As<TcxTreeListNodes>(source);
    if (!other) return TPersistent::Assign(source);
    if (other != this) owner_->DoAssignNodes(other->TreeList());
}

// ---- the control: reading and writing the nodes ----------------------------------------------

std::int64_t TcxCustomTreeListControl::CheckStreamHeader(TStream& stream)
{
    const std::int64_t start = stream.Position();
    TcxReader reader(stream);
    std::int32_t version = 0;
    std::int32_t size = 0;
    if (Remaining(stream) >= kHeaderSize) {
        version = reader.ReadInteger();
        size = reader.ReadInteger();
    }
    // The version is not checked: every version so far has this layout.
    static_cast<void>(version);
    if (size < kHeaderSize || start + size > stream.Size()) {
        stream.SetPosition(start);
        InvalidStream();
    }
    return start + size;
}

void TcxCustomTreeListControl::WriteData(TStream& stream)
{
    TcxWriter(stream).WriteInteger(Count());
    TcxTreeListNode* node = TopNode();
    while (node) {
        node->WriteData(stream);
        if (node->getFirstChild()) {
            node = node->getFirstChild();
            continue;
        }
        while (node && !node->getNextSibling()) {
            node = node->Parent();
            if (node == nodes_->Root()) node = nullptr;
        }
        if (node) node = node->getNextSibling();
    }
}

void TcxCustomTreeListControl::ReadData(TStream& stream)
{
    const std::int64_t end = CheckStreamHeader(stream);
    // The block alone is read, so that no count can reach beyond it.
    TMemoryStream block;
    if (end > stream.Position()) block.CopyFrom(stream, end - stream.Position());
    block.SetPosition(0);
    BeginUpdate();
    quelvo::sys::ScopeGuard close([this] {
        nodes_->SetStateBits(TcxTreeListNodes::nssReading, false);
        EndUpdate();
    });
    Clear();
    nodes_->SetStateBits(TcxTreeListNodes::nssReading | TcxTreeListNodes::nssDirty, true);
    try {
        ReadRecordsAndTree(block);
    } catch (...) {
        // Neither nodes nor records of a half-read stream stay.
        Clear();
        recordMap_.clear();
        DataController()->SetRecordCount(0);
        throw;
    }
    stream.SetPosition(end);
}

void TcxCustomTreeListControl::ReadRecordsAndTree(TStream& stream)
{
    DataController()->LoadFromStream(stream);
    recordMap_.assign(static_cast<std::size_t>(DataController()->GetRecordCount()), nullptr);
    ReadNodes(stream);
    // Every record has its node, and the block holds nothing else.
    for (TcxTreeListNode* node : recordMap_)
        if (!node) InvalidStream();
    if (Remaining(stream) != 0) InvalidStream();
}

void TcxCustomTreeListControl::ReadNodes(TStream& stream)
{
    struct Level {
        TcxTreeListNode* parent;
        int remaining;
    };
    const std::int32_t rootCount = TcxReader(stream).ReadInteger();
    CheckCount(rootCount, stream);
    std::vector<Level> levels{{nodes_->Root(), rootCount}};
    while (!levels.empty()) {
        if (levels.back().remaining == 0) {
            levels.pop_back();
            continue;
        }
        --levels.back().remaining;
        TcxTreeListNode* node = DoCreateNode();
        // Linked at once, so that a failure frees it with the rest.
        nodes_->LinkReadNode(node, levels.back().parent);
        int childCount = 0;
        node->ReadData(stream, childCount);
        const int record = node->RecordIndex();
        if (record < 0 || record >= RecordMapCount() || recordMap_[static_cast<std::size_t>(record)]) InvalidStream();
        recordMap_[static_cast<std::size_t>(record)] = node;
        CheckCount(childCount, stream);
        if (childCount == 0) continue;
        if (levels.size() >= kMaxReadLevel) InvalidStream();
        levels.push_back({node, childCount});
    }
}

// ---- the unbound tree list -------------------------------------------------------------------

void TcxTreeList::SaveToStream(TStream& stream)
{
    const std::int64_t start = stream.Position();
    const std::int32_t placeholder[2] = {0, 0};
    stream.WriteBuffer(placeholder, sizeof placeholder);
    DataController()->SaveToStream(stream);
    WriteData(stream);
    const std::int64_t end = stream.Position();
    if (end - start > std::numeric_limits<std::int32_t>::max())
        throw ERangeError("The tree list's data stream is larger than 2 GiB");
    stream.SetPosition(start);
    TcxWriter writer(stream);
    writer.WriteInteger(GetVersion());
    writer.WriteInteger(static_cast<std::int32_t>(end - start));
    stream.SetPosition(end);
}

void TcxTreeList::LoadFromStream(TStream& stream)
{
    SetGlassCursor();
    quelvo::sys::ScopeGuard restore([this] { RestoreCursor(); });
    ReadData(stream);
}

void TcxTreeList::SaveToFile(const std::string& fileName)
{
    TMemoryStream stream;
    SaveToStream(stream);
    const auto& bytes = stream.Bytes();
    const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!quelvo::sys::ReplaceFileContents(fileName, content))
        throw EFCreateError(Format(messages::SFCreateError, fileName, std::string(std::strerror(errno))));
}

void TcxTreeList::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
    LoadFromStream(stream);
}

void TcxTreeList::DoAssignNodes(TcxCustomTreeListControl* source)
{
    auto* other = As<TcxTreeList>(source);
    if (!other) return;
    TMemoryStream stream;
    other->SaveToStream(stream);
    stream.SetPosition(0);
    LoadFromStream(stream);
}

void TcxTreeList::DefineProperties(TFiler& filer)
{
    TcxCustomTreeListControl::DefineProperties(filer);
    filer.DefineBinaryProperty(
        "Data", [this](TStream& stream) { ReadBinaryData(stream); },
        [this](TStream& stream) { SaveToStream(stream); }, Count() > 0);
}

void TcxTreeList::ReadBinaryData(TStream& stream)
{
    const std::int64_t start = stream.Position();
    const std::int64_t end = CheckStreamHeader(stream);
    stream.SetPosition(start);
    auto data = MakeObject<TMemoryStream>();
    data->CopyFrom(stream, end - start);
    data->SetPosition(0);
    formData_ = std::move(data);
}

void TcxTreeList::Loaded()
{
    ObjectPtr<TMemoryStream> data = std::move(formData_);
    if (data) {
        try {
            LoadFromStream(*data);
        } catch (...) {
            TcxCustomTreeListControl::Loaded();
            throw;
        }
    }
    TcxCustomTreeListControl::Loaded();
}
