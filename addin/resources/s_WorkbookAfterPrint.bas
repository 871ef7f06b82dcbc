Attribute VB_Name = "s_WorkbookAfterPrint"
Option Explicit

' The add-in object, found once and kept for later prints.
Private mobjAddin As Object
Private Const mstrTitle As String = "Quorvex for Excel"

' Run by the host through OnTime once a print of a watched sheet is over:
' hands the print to the add-in, which records it.
Public Sub WorkbookAfterPrint()
    Application.EnableCancelKey = xlDisabled

    On Error Resume Next
    If mobjAddin Is Nothing Then
        Set mobjAddin = Application.COMAddIns("Kez_Quorvex.Connect").Object
    End If
    If Err.Number <> 0 Then
        MsgBox "Err:" & Err.Number & vbCrLf & Err.Description, vbCritical, mstrTitle
        Exit Sub
    End If
    On Error GoTo 0

    If mobjAddin Is Nothing Then
        MsgBox "本体アドインが読み込まれていません。エクセルからアドインを有効にするか、または「" & mstrTitle & "」を再インストールしてください。" & vbCrLf & "（エクセルからアドインを有効にする方法は、エクセルまたは「" & mstrTitle & "」のマニュアルをご覧ください。）", vbCritical, mstrTitle
    Else
        mobjAddin.CallForXLA_WorkbookAfterPrint
    End If
End Sub
