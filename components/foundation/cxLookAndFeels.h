#pragma once
// How the library's controls look: a look and feel holds a kind and whether
// the native visual style is preferred, and from them picks the painter.
// Look and feels form a tree; a value not set on an object comes from its
// master, in the end from the one program-wide root, so changing the root
// restyles every control that chose nothing else. Changes travel down the
// tree through listeners. A hidden window turns system colour changes into
// notifications for every look and feel and the painters' cached images.

#include <vector>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/hostlib/core/component.h"
#include "platform/hostlib/core/event.h"

enum TcxLookAndFeelKind { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };
const hostlib::TEnumInfo& EnumTypeInfo(TcxLookAndFeelKind*);
enum TcxLookAndFeelValue { lfvKind, lfvNativeStyle };
using TcxLookAndFeelValues = hostlib::TSet<TcxLookAndFeelValue>;
const hostlib::TEnumInfo& EnumTypeInfo(TcxLookAndFeelValue*);

inline constexpr TcxLookAndFeelKind cxDefaultLookAndFeelKind = lfUltraFlat;
inline constexpr bool cxDefaultLookAndFeelNativeStyle = false;

struct TcxLookAndFeelData {
    TcxLookAndFeelKind Kind = cxDefaultLookAndFeelKind;
    bool NativeStyle = cxDefaultLookAndFeelNativeStyle;
};

class TcxLookAndFeel;
class TcxSystemPaletteChangedNotifier;

using TcxLookAndFeelChangedEvent = hostlib::Event<TcxLookAndFeel*, TcxLookAndFeelValues>;
using TcxSystemPaletteChangedEvent = hostlib::Event<>;

// Told about the changes of a master look and feel. The listener list does
// not own its entries.
class IcxLookAndFeelNotificationListener {
public:
    virtual hostlib::TObject* GetObject() = 0;
    virtual void MasterLookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) = 0;
    virtual void MasterLookAndFeelDestroying(TcxLookAndFeel* sender) = 0;

protected:
    ~IcxLookAndFeelNotificationListener() = default;
};

class TcxLookAndFeel : public TcxInterfacedPersistent, public IcxLookAndFeelNotificationListener {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    // From a look and feel: its own values, assigned set and master; from
    // anything else the host library's conversion error.
    void Assign(hostlib::TPersistent* source) override;

    // The resolved values; no resolution happens here.
    TcxLookAndFeelKind Kind() const { return currentData_.Kind; }
    void SetKind(TcxLookAndFeelKind value);
    bool NativeStyle() const { return currentData_.NativeStyle; }
    void SetNativeStyle(bool value);
    TcxLookAndFeelValues AssignedValues() const { return assignedValues_; }
    void SetAssignedValues(TcxLookAndFeelValues value);
    // Forgets every value set here.
    void Reset() { SetAssignedValues({}); }

    // Nothing for the root; else the master set, or the root by default.
    TcxLookAndFeel* MasterLookAndFeel() const;
    // Ignored for the root, itself, the current master and a master whose
    // own chain leads back here.
    void SetMasterLookAndFeel(TcxLookAndFeel* value);

    void AddChangeListener(IcxLookAndFeelNotificationListener* listener);
    void RemoveChangeListener(IcxLookAndFeelNotificationListener* listener);

    // The forced painter, else the native painter when preferred and
    // visual styles are on, else the painter of the kind.
    TcxCustomLookAndFeelPainterClass Painter() const;
    void SetPainter(TcxCustomLookAndFeelPainterClass value);
    // Ignores the forced painter; native only when the themes of the
    // object types open.
    TcxCustomLookAndFeelPainterClass GetAvailablePainter(TdxThemedObjectType type) const;
    TcxCustomLookAndFeelPainterClass GetAvailablePainter(TdxThemedObjectTypes types) const;
    TcxLookAndFeelStyle GetActiveStyle() const;

    bool IsRoot() const { return isRoot_; }
    bool IsKindStored() const { return assignedValues_.Contains(lfvKind); }
    bool IsNativeStyleStored() const { return assignedValues_.Contains(lfvNativeStyle); }

    hostlib::TObject* GetObject() override { return this; }
    void MasterLookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) override;
    void MasterLookAndFeelDestroying(TcxLookAndFeel* sender) override;

    TcxLookAndFeelChangedEvent OnChanged;

protected:
    void Destroy() override;

    virtual TcxLookAndFeelKind InternalGetKind() const;
    virtual bool InternalGetNativeStyle() const;
    virtual void SystemPaletteChanged();

    void Changed(TcxLookAndFeelValues changedValues);
    TcxLookAndFeelKind GetDefaultKind() const;
    bool GetDefaultNativeStyle() const;
    // Snapshot of the current values; afterwards Changed with those whose
    // resolution now differs. Nested pairs (Assign re-parents) notify once,
    // when the outer one closes.
    void SaveState();
    void CheckStateChanges();

private:
    friend void cxLookAndFeelsInitialize();

    TcxCustomLookAndFeelPainterClass PainterOfKind() const;
    bool LeadsTo(const TcxLookAndFeel* target) const;

    TcxLookAndFeelValues assignedValues_;
    TcxLookAndFeelData data_;
    TcxLookAndFeelData currentData_;
    TcxLookAndFeelData prevData_;
    TcxLookAndFeel* master_ = nullptr;
    TcxCustomLookAndFeelPainterClass painter_ = nullptr;
    std::vector<IcxLookAndFeelNotificationListener*> listeners_;
    hostlib::ObjectPtr<TcxSystemPaletteChangedNotifier> paletteNotifier_;
    int stateLock_ = 0;
    bool isDestroying_ = false;
    bool isRoot_ = false;
};

// Gives forms a handle on the root look and feel; while at least one
// exists, the root keeps the values set here.
class TcxLookAndFeelController : public hostlib::TComponent, public IcxLookAndFeelNotificationListener {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;

    TcxLookAndFeelKind Kind() const;
    void SetKind(TcxLookAndFeelKind value);
    bool NativeStyle() const;
    void SetNativeStyle(bool value);

    hostlib::TObject* GetObject() override { return this; }
    void MasterLookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) override;
    void MasterLookAndFeelDestroying(TcxLookAndFeel* sender) override;

protected:
    void Destroy() override;
    // For a form designer; nothing here.
    virtual void Modified() {}
};

// Calls OnSystemPaletteChanged after each system colour change. Primary
// notifiers hear of it before ordinary ones.
class TcxSystemPaletteChangedNotifier : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(bool isPrimary);
    bool IsPrimary() const { return isPrimary_; }

    TcxSystemPaletteChangedEvent OnSystemPaletteChanged;

protected:
    friend class TcxSystemPaletteChangedListener;
    void Destroy() override;
    virtual void DoChanged();

private:
    bool isPrimary_ = false;
    bool registered_ = false;
};

// The root look and feel; nullptr outside the unit's life.
TcxLookAndFeel* RootLookAndFeel();

// Unit start-up (the root look and feel) and shut-down, counted.
void cxLookAndFeelsInitialize();
void cxLookAndFeelsFinalize();
