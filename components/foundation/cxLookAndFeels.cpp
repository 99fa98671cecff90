#include "components/foundation/cxLookAndFeels.h"

#include <algorithm>

#include "components/foundation/dxOffice11.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/visual/timer.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

struct Unit {
    int starts = 0;
    TcxLookAndFeel* root = nullptr;
    int controllerCount = 0;
};

Unit& U()
{
    static Unit unit;
    return unit;
}

bool IsController(IcxLookAndFeelNotificationListener* listener)
{
    return Is<TcxLookAndFeelController>(listener->GetObject());
}

constexpr TcxLookAndFeelStyle kStyleOfKind[] = {lfsFlat, lfsStandard, lfsUltraFlat, lfsOffice11};

}  // namespace

// ---- palette listener -----------------------------------------------------------

// One hidden window per program while any notifier exists; it turns
// WM_SYSCOLORCHANGE into notifier calls, newest first, primary ones first.
class TcxSystemPaletteChangedListener {
public:
    static void Add(TcxSystemPaletteChangedNotifier* notifier);
    static void Remove(TcxSystemPaletteChangedNotifier* notifier);
    ~TcxSystemPaletteChangedListener();

private:
    TcxSystemPaletteChangedListener();
    static std::unique_ptr<TcxSystemPaletteChangedListener>& Instance();
    std::vector<TcxSystemPaletteChangedNotifier*>& ListOf(const TcxSystemPaletteChangedNotifier* notifier)
    {
        return notifier->IsPrimary() ? primary_ : ordinary_;
    }
    static bool IsRegistered(const TcxSystemPaletteChangedNotifier* notifier);
    void WndProc(TMessage& message);
    void NotifyAll();
    static void NotifyLastToFirst(const std::vector<TcxSystemPaletteChangedNotifier*>& list);

    HWND window_ = nullptr;
    std::vector<TcxSystemPaletteChangedNotifier*> primary_;
    std::vector<TcxSystemPaletteChangedNotifier*> ordinary_;
};

// Deliberately not freed at exit: its destructor releases the Office 2003
// colours and the hidden window, whose own statics may already be gone by
// then. It is freed when its last notifier leaves.
std::unique_ptr<TcxSystemPaletteChangedListener>& TcxSystemPaletteChangedListener::Instance()
{
    static auto* instance = new std::unique_ptr<TcxSystemPaletteChangedListener>();
    return *instance;
}

TcxSystemPaletteChangedListener::TcxSystemPaletteChangedListener()
{
    CreateOffice11Colors();
    window_ = AllocateHWnd([this](TMessage& message) { WndProc(message); });
}

TcxSystemPaletteChangedListener::~TcxSystemPaletteChangedListener()
{
    DeallocateHWnd(window_);
    ReleaseOffice11Colors();
}

void TcxSystemPaletteChangedListener::Add(TcxSystemPaletteChangedNotifier* notifier)
{
    auto& instance = Instance();
    if (!instance) instance.reset(new TcxSystemPaletteChangedListener());
    instance->ListOf(notifier).push_back(notifier);
}

void TcxSystemPaletteChangedListener::Remove(TcxSystemPaletteChangedNotifier* notifier)
{
    auto& instance = Instance();
    if (!instance) return;
    std::erase(instance->ListOf(notifier), notifier);
    if (instance->primary_.empty() && instance->ordinary_.empty()) instance.reset();
}

bool TcxSystemPaletteChangedListener::IsRegistered(const TcxSystemPaletteChangedNotifier* notifier)
{
    const auto& instance = Instance();
    return instance && (std::ranges::find(instance->primary_, notifier) != instance->primary_.end() ||
                        std::ranges::find(instance->ordinary_, notifier) != instance->ordinary_.end());
}

void TcxSystemPaletteChangedListener::WndProc(TMessage& message)
{
    // The default procedure sees every message, also when a notifier throws.
    quelvo::sys::ScopeGuard defaultProc(
        [&] { message.Result = DefWindowProcA(window_, message.Msg, message.WParam, message.LParam); });
    if (message.Msg == WM_SYSCOLORCHANGE) NotifyAll();
}

void TcxSystemPaletteChangedListener::NotifyAll()
{
    RefreshOffice11Colors();
    // Copies: a notifier may free itself or others, even the listener.
    const auto primary = primary_;
    const auto ordinary = ordinary_;
    NotifyLastToFirst(primary);
    NotifyLastToFirst(ordinary);
}

void TcxSystemPaletteChangedListener::NotifyLastToFirst(const std::vector<TcxSystemPaletteChangedNotifier*>& list)
{
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        // Skip notifiers freed by an earlier one.
        if (IsRegistered(*it)) (*it)->DoChanged();
    }
}

TClass TcxSystemPaletteChangedNotifier::StaticClass()
{
    return DefineClass<TcxSystemPaletteChangedNotifier, TObject>("TcxSystemPaletteChangedNotifier");
}

void TcxSystemPaletteChangedNotifier::Construct(bool isPrimary)
{
    isPrimary_ = isPrimary;
    TcxSystemPaletteChangedListener::Add(this);
    registered_ = true;
}

void TcxSystemPaletteChangedNotifier::Destroy()
{
    if (registered_) TcxSystemPaletteChangedListener::Remove(this);
    registered_ = false;
    TObject::Destroy();
}

void TcxSystemPaletteChangedNotifier::DoChanged()
{
    if (OnSystemPaletteChanged) OnSystemPaletteChanged();
}

// ---- look and feel -------------------------------------------------------------------

const TEnumInfo& EnumTypeInfo(TcxLookAndFeelKind*)
{
    static const TEnumInfo info{"TcxLookAndFeelKind", {"lfFlat", "lfStandard", "lfUltraFlat", "lfOffice11"}, 0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TcxLookAndFeelValue*)
{
    static const TEnumInfo info{"TcxLookAndFeelValue", {"lfvKind", "lfvNativeStyle"}, 0};
    return info;
}

TClass TcxLookAndFeel::StaticClass()
{
    return DefineClass<TcxLookAndFeel, TcxInterfacedPersistent>("TcxLookAndFeel", [](ClassBuilder<TcxLookAndFeel>& b) {
        b.Property("AssignedValues", &TcxLookAndFeel::AssignedValues, &TcxLookAndFeel::SetAssignedValues).Stored(false);
        b.Property("Kind", &TcxLookAndFeel::Kind, &TcxLookAndFeel::SetKind).Stored(&TcxLookAndFeel::IsKindStored);
        b.Property("NativeStyle", &TcxLookAndFeel::NativeStyle, &TcxLookAndFeel::SetNativeStyle)
            .Stored(&TcxLookAndFeel::IsNativeStyleStored);
    });
}

void TcxLookAndFeel::Construct(TPersistent* owner)
{
    TcxInterfacedPersistent::Construct(owner);
    paletteNotifier_.reset(CreateObject<TcxSystemPaletteChangedNotifier>(false));
    paletteNotifier_->OnSystemPaletteChanged = TcxSystemPaletteChangedEvent::Bind(this, &TcxLookAndFeel::SystemPaletteChanged);
    if (auto* root = U().root) {
        root->AddChangeListener(this);
        currentData_ = {InternalGetKind(), InternalGetNativeStyle()};
    }
}

void TcxLookAndFeel::Destroy()
{
    paletteNotifier_.reset();
    {
        // Listeners that detach now stay in the list, so the walk is stable.
        isDestroying_ = true;
        quelvo::sys::ScopeGuard clear([this] { isDestroying_ = false; });
        for (std::size_t i = 0; i < listeners_.size(); ++i) listeners_[i]->MasterLookAndFeelDestroying(this);
    }
    listeners_.clear();
    if (auto* master = MasterLookAndFeel()) master->RemoveChangeListener(this);
    if (isRoot_ && U().root == this) U().root = nullptr;
    TcxInterfacedPersistent::Destroy();
}

void TcxLookAndFeel::Assign(TPersistent* source)
{
    auto* other = As<TcxLookAndFeel>(source);
    if (!other) {
        TcxInterfacedPersistent::Assign(source);
        return;
    }
    SaveState();
    data_ = other->data_;
    assignedValues_ = other->assignedValues_;
    SetMasterLookAndFeel(other->MasterLookAndFeel());
    CheckStateChanges();
}

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind value)
{
    const TcxLookAndFeelKind before = currentData_.Kind;
    assignedValues_.Include(lfvKind);
    data_.Kind = value;
    if (InternalGetKind() != before) Changed({lfvKind});
}

void TcxLookAndFeel::SetNativeStyle(bool value)
{
    const bool before = currentData_.NativeStyle;
    assignedValues_.Include(lfvNativeStyle);
    data_.NativeStyle = value;
    if (InternalGetNativeStyle() != before) Changed({lfvNativeStyle});
}

void TcxLookAndFeel::SetAssignedValues(TcxLookAndFeelValues value)
{
    if (value == assignedValues_) return;
    SaveState();
    assignedValues_ = value;
    CheckStateChanges();
}

TcxLookAndFeelKind TcxLookAndFeel::InternalGetKind() const
{
    return assignedValues_.Contains(lfvKind) ? data_.Kind : GetDefaultKind();
}

bool TcxLookAndFeel::InternalGetNativeStyle() const
{
    return assignedValues_.Contains(lfvNativeStyle) ? data_.NativeStyle : GetDefaultNativeStyle();
}

TcxLookAndFeelKind TcxLookAndFeel::GetDefaultKind() const
{
    const TcxLookAndFeel* master = MasterLookAndFeel();
    return master ? master->Kind() : cxDefaultLookAndFeelKind;
}

bool TcxLookAndFeel::GetDefaultNativeStyle() const
{
    const TcxLookAndFeel* master = MasterLookAndFeel();
    return master ? master->NativeStyle() : cxDefaultLookAndFeelNativeStyle;
}

TcxLookAndFeel* TcxLookAndFeel::MasterLookAndFeel() const
{
    if (isRoot_) return nullptr;
    return master_ ? master_ : U().root;
}

bool TcxLookAndFeel::LeadsTo(const TcxLookAndFeel* target) const
{
    for (const TcxLookAndFeel* p = this; p; p = p->MasterLookAndFeel())
        if (p == target) return true;
    return false;
}

void TcxLookAndFeel::SetMasterLookAndFeel(TcxLookAndFeel* value)
{
    if (isRoot_ || value == MasterLookAndFeel()) return;
    // A master whose chain comes back here (itself included) would pass
    // every change around the loop for ever.
    if (value && value->LeadsTo(this)) return;
    SaveState();
    if (auto* old = MasterLookAndFeel()) old->RemoveChangeListener(this);
    master_ = value;
    if (auto* now = MasterLookAndFeel()) now->AddChangeListener(this);
    CheckStateChanges();
}

void TcxLookAndFeel::AddChangeListener(IcxLookAndFeelNotificationListener* listener)
{
    if (!listener) return;
    const bool controller = IsController(listener);
    if (controller && !isRoot_) return;
    if (std::ranges::find(listeners_, listener) != listeners_.end()) return;
    listeners_.push_back(listener);
    if (controller) ++U().controllerCount;
}

void TcxLookAndFeel::RemoveChangeListener(IcxLookAndFeelNotificationListener* listener)
{
    if (!listener) return;
    const auto it = std::ranges::find(listeners_, listener);
    if (it == listeners_.end()) return;
    if (!isDestroying_) listeners_.erase(it);
    if (isRoot_ && IsController(listener) && --U().controllerCount == 0) Reset();
}

void TcxLookAndFeel::Changed(TcxLookAndFeelValues changedValues)
{
    if (changedValues.Empty() || isDestroying_) return;
    currentData_ = {InternalGetKind(), InternalGetNativeStyle()};
    // A listener that removes itself does not make the next one be skipped.
    for (std::size_t i = 0; i < listeners_.size();) {
        const std::size_t count = listeners_.size();
        listeners_[i]->MasterLookAndFeelChanged(this, changedValues);
        if (listeners_.size() >= count) ++i;
    }
    if (OnChanged) OnChanged(this, changedValues);
}

void TcxLookAndFeel::SaveState()
{
    if (stateLock_++ == 0) prevData_ = currentData_;
}

void TcxLookAndFeel::CheckStateChanges()
{
    if (stateLock_ == 0 || --stateLock_ > 0) return;
    TcxLookAndFeelValues changed;
    if (InternalGetKind() != prevData_.Kind) changed.Include(lfvKind);
    if (InternalGetNativeStyle() != prevData_.NativeStyle) changed.Include(lfvNativeStyle);
    Changed(changed);
}

void TcxLookAndFeel::MasterLookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues changedValues)
{
    Changed(changedValues - assignedValues_);
}

void TcxLookAndFeel::MasterLookAndFeelDestroying(TcxLookAndFeel*) { SetMasterLookAndFeel(nullptr); }

void TcxLookAndFeel::SystemPaletteChanged() { Changed({lfvNativeStyle}); }

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::PainterOfKind() const
{
    return cxLookAndFeelPainterOfStyle(kStyleOfKind[currentData_.Kind]);
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::Painter() const
{
    if (painter_) return painter_;
    return GetAvailablePainter(TdxThemedObjectTypes{});
}

void TcxLookAndFeel::SetPainter(TcxCustomLookAndFeelPainterClass value)
{
    if (Painter() == value) return;
    painter_ = value;
    Changed({lfvKind, lfvNativeStyle});
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::GetAvailablePainter(TdxThemedObjectType type) const
{
    return GetAvailablePainter(TdxThemedObjectTypes{type});
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::GetAvailablePainter(TdxThemedObjectTypes types) const
{
    // Until a native painter is registered, the kind's painter draws.
    const auto native = cxRegisteredLookAndFeelPainter(lfsNative);
    if (native && currentData_.NativeStyle && AreVisualStylesAvailable(types)) return native;
    return PainterOfKind();
}

TcxLookAndFeelStyle TcxLookAndFeel::GetActiveStyle() const
{
    if (currentData_.NativeStyle && AreVisualStylesAvailable()) return lfsNative;
    return kStyleOfKind[currentData_.Kind];
}

// ---- controller ------------------------------------------------------------------------

TClass TcxLookAndFeelController::StaticClass()
{
    return DefineClass<TcxLookAndFeelController, TComponent>(
        "TcxLookAndFeelController", [](ClassBuilder<TcxLookAndFeelController>& b) {
            b.Property("Kind", &TcxLookAndFeelController::Kind, &TcxLookAndFeelController::SetKind);
            b.Property("NativeStyle", &TcxLookAndFeelController::NativeStyle, &TcxLookAndFeelController::SetNativeStyle);
        });
}

void TcxLookAndFeelController::Construct(TComponent* owner)
{
    TComponent::Construct(owner);
    if (auto* root = RootLookAndFeel()) root->AddChangeListener(this);
}

void TcxLookAndFeelController::Destroy()
{
    if (auto* root = RootLookAndFeel()) root->RemoveChangeListener(this);
    TComponent::Destroy();
}

TcxLookAndFeelKind TcxLookAndFeelController::Kind() const
{
    const auto* root = RootLookAndFeel();
    return root ? root->Kind() : cxDefaultLookAndFeelKind;
}

void TcxLookAndFeelController::SetKind(TcxLookAndFeelKind value)
{
    if (auto* root = RootLookAndFeel()) root->SetKind(value);
}

bool TcxLookAndFeelController::NativeStyle() const
{
    const auto* root = RootLookAndFeel();
    return root ? root->NativeStyle() : cxDefaultLookAndFeelNativeStyle;
}

void TcxLookAndFeelController::SetNativeStyle(bool value)
{
    if (auto* root = RootLookAndFeel()) root->SetNativeStyle(value);
}

void TcxLookAndFeelController::MasterLookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues)
{
    if (ComponentState().Contains(csDesigning)) Modified();
}

// Only a form designer would care that the root goes, and there is none.
void TcxLookAndFeelController::MasterLookAndFeelDestroying(TcxLookAndFeel*) {}

// ---- unit ----------------------------------------------------------------------------------

TcxLookAndFeel* RootLookAndFeel() { return U().root; }

void cxLookAndFeelsInitialize()
{
    auto& unit = U();
    if (unit.starts++ > 0) return;
    GroupDescendentsWith(TcxLookAndFeelController::StaticClass(), TCustomForm::StaticClass());
    // Made while the root reference is empty, so it attaches to nothing.
    auto* root = CreateObject<TcxLookAndFeel>(static_cast<TPersistent*>(nullptr));
    root->isRoot_ = true;
    unit.root = root;
}

void cxLookAndFeelsFinalize()
{
    auto& unit = U();
    if (unit.starts == 0 || --unit.starts > 0) return;
    if (unit.root) unit.root->Free();
    unit.root = nullptr;
    unit.controllerCount = 0;
}
