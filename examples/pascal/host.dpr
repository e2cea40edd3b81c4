// A host in Delphi syntax (Delphi, or Free Pascal in Delphi mode): opens a
// session, runs transaction 250, closes.
//
//   fpc -Mdelphi -Fl. -k-rpath -k'$ORIGIN' host.dpr && ./host
//
// CorvaneApply.dll uses stdcall with undecorated names, as declared below
// (the i686 DLL is the product: build a 32-bit program).  Texts are GBK
// (code page 936) both ways: AnsiString on a Chinese Windows, bytes here.
// The library does not know the size of a reply buffer: it writes the whole
// reply and a zero byte, so each buffer is 64 KB.  The replies are printed as
// the GBK bytes received.
program host;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

const
{$IFDEF MSWINDOWS}
  LibName = 'CorvaneApply.dll';
{$ELSE}
  LibName = 'CorvaneApply';
{$ENDIF}
  ReplySize = 65536;

function f_UserCorvaneInit(Request: PAnsiChar; Reply: PAnsiChar; Reserved: Integer): Integer;
  stdcall; external LibName;
function f_UserCorvaneApply(TradeNo: Integer; Serial: Double; Request: PAnsiChar;
  Reply: PAnsiChar; Extra: PAnsiChar): Integer; stdcall; external LibName;
function f_UserCorvaneClose(Request: PAnsiChar; Reply: PAnsiChar; Unused: PAnsiChar): Integer;
  stdcall; external LibName;

var
  Reply: array[0..ReplySize - 1] of AnsiChar;
  Status, Closed: Integer;
begin
  Status := f_UserCorvaneInit('', @Reply[0], 0);
  WriteLn('init: ', Status, ' ', PAnsiChar(@Reply[0]));
  if Status <> 0 then Halt(1);
  // '$$药品$$' in GBK.
  Status := f_UserCorvaneApply(250, 1.0, '$$'#$D2#$A9#$C6#$B7'$$', @Reply[0], '');
  WriteLn('apply 250: ', Status, ' ', PAnsiChar(@Reply[0]));
  Closed := f_UserCorvaneClose('', @Reply[0], nil);
  WriteLn('close: ', Closed, ' ', PAnsiChar(@Reply[0]));
  if (Status <> 0) or (Closed <> 0) then Halt(1);
end.
