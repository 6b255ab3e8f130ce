#pragma once
// The face of the attached editor as the plug-in core sees it. The core owns the editor
// (IPlugBase::AttachEditor hands it over) and deletes it first when the instance goes away;
// the editor implements these operations.

class EditorLink
{
public:
    // [the thread that destroys the instance, after processing has stopped]
    virtual ~EditorLink() = default;

    // Gives every control bound to the parameter the new value. A plain value is clamped to
    // the parameter's range and normalised first. Runs on whichever thread changed the value
    // (audio thread, host automation, preset recall), so it must do nothing but store the
    // value and mark the control for the next redraw.
    // [any thread: only stores and marks]
    virtual void PushValueToControls(int paramIndex, double value, bool normalized) = 0;

    // Creates the drawing surfaces (back buffer and spare bitmap) at the editor's size; called
    // once when the editor is attached, after every control has received its value.
    // [constructing thread, under the plug-in lock]
    virtual void PrepareDrawing() = 0;
};
